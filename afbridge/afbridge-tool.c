/*
 * afbridge-tool: lists the HID interfaces and sets a camera's focus mode,
 * for support staff. Uses only the exports of libafbridge.
 *
 *   afbridge-tool list
 *   afbridge-tool focus VID PID auto|manual
 */
#include "afbridge/afbridge.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum
{
    ExitOk = 0,
    ExitFailed = 1,
    ExitUsage = 2
};

static void Usage(FILE *out)
{
    fputs("usage: afbridge-tool list\n"
          "       afbridge-tool focus VID PID auto|manual\n"
          "\n"
          "  list    show the HID interfaces with their vendor and product identifiers\n"
          "  focus   switch the camera VID:PID (hexadecimal, e.g. 1234 2003) to\n"
          "          auto focus or to manual focus\n",
          out);
}

/* Reads the name of table entry `index` into `name` (18 bytes); 0 if there is none. */
static int EntryName(int32_t index, char *name)
{
    int32_t position = 0;
    int32_t c;
    while (position < 17 && (c = fnGetDeviceName(index, position)) > 0)
        name[position++] = (char)c;
    name[position] = '\0';
    return position > 0;
}

/* A USB identifier: 1 to 4 hexadecimal digits, optionally after "0x". */
static int ParseId(const char *text, int32_t *id)
{
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text += 2;
    size_t length = strlen(text);
    if (length == 0 || length > 4 || strspn(text, "0123456789abcdefABCDEF") != length)
        return 0;
    *id = (int32_t)strtol(text, NULL, 16);
    return 1;
}

static int Search(void)
{
    int32_t count = fnSearchAllDevice();
    if (count < 0)
        fputs("afbridge-tool: cannot read the list of HID interfaces\n", stderr);
    return count;
}

static int List(void)
{
    int32_t count = Search();
    if (count < 0)
        return ExitFailed;
    char name[18];
    int32_t index = 0;
    for (; EntryName(index, name); ++index)
        printf("%d\t%s\n", index, name);
    printf("%d HID interface(s), %d with identifiers\n", count, index);
    return ExitOk;
}

/* Whether the table holds an entry with these identifiers. */
static int TableHolds(int32_t vendorId, int32_t productId)
{
    char name[18];
    for (int32_t index = 0; EntryName(index, name); ++index) {
        uint32_t id = (uint32_t)fnGetDeviceId(index);
        if ((int32_t)(id >> 16) == vendorId && (int32_t)(id & 0xFFFF) == productId)
            return 1;
    }
    return 0;
}

static int Focus(const char *vid, const char *pid, const char *modeText)
{
    int32_t vendorId, productId, mode;
    if (!ParseId(vid, &vendorId) || !ParseId(pid, &productId)) {
        fputs("afbridge-tool: VID and PID are 1 to 4 hexadecimal digits\n", stderr);
        return ExitUsage;
    }
    if (strcmp(modeText, "auto") == 0) {
        mode = 1;
    } else if (strcmp(modeText, "manual") == 0) {
        mode = 0;
    } else {
        fprintf(stderr, "afbridge-tool: unknown focus mode \"%s\" (auto or manual)\n", modeText);
        return ExitUsage;
    }

    if (Search() < 0)
        return ExitFailed;
    if (fnOpenDeviceById(vendorId, productId) != 0) {
        if (TableHolds(vendorId, productId))
            fprintf(stderr,
                    "afbridge-tool: cannot open vid_%04x&pid_%04x; check the permissions of "
                    "its /dev/hidraw node\n",
                    (unsigned)vendorId, (unsigned)productId);
        else
            fprintf(stderr, "afbridge-tool: no HID interface vid_%04x&pid_%04x\n",
                    (unsigned)vendorId, (unsigned)productId);
        return ExitFailed;
    }
    int result = ExitOk;
    if (fnSetAFMode(mode) != 0) {
        fprintf(stderr, "afbridge-tool: writing the focus report to vid_%04x&pid_%04x failed\n",
                (unsigned)vendorId, (unsigned)productId);
        result = ExitFailed;
    } else {
        printf("vid_%04x&pid_%04x: %s focus\n", (unsigned)vendorId, (unsigned)productId, modeText);
    }
    fnCloseDevice();
    return result;
}

int main(int argc, char **argv)
{
    if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        Usage(stdout);
        return ExitOk;
    }
    if (argc == 2 && strcmp(argv[1], "list") == 0)
        return List();
    if (argc == 5 && strcmp(argv[1], "focus") == 0)
        return Focus(argv[2], argv[3], argv[4]);
    Usage(stderr);
    return ExitUsage;
}
