/*
 * uhid_camera: a HID device made from user space through /dev/uhid, standing in
 * for a document camera's control interface. It prints every output report it
 * receives as hexadecimal bytes and ends after `count` reports or `timeout`
 * seconds without one.
 *
 *   uhid_camera VID PID COUNT TIMEOUT      (VID and PID in hexadecimal)
 */
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* A vendor-defined collection with one 64-byte output report, no report ID. */
static const unsigned char descriptor[] = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x15, 0x00,
    0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x91, 0x02, 0xC0,
};

static int send(int fd, const struct uhid_event *event)
{
    return write(fd, event, sizeof *event) == (ssize_t)sizeof *event ? 0 : -1;
}

int main(int argc, char **argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: uhid_camera VID PID COUNT TIMEOUT\n");
        return 2;
    }
    const unsigned vendor = (unsigned)strtoul(argv[1], NULL, 16);
    const unsigned product = (unsigned)strtoul(argv[2], NULL, 16);
    const int count = atoi(argv[3]);
    const int timeout = atoi(argv[4]);
    setvbuf(stdout, NULL, _IOLBF, 0);

    int fd = open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        perror("uhid_camera: /dev/uhid");
        return 1;
    }
    struct uhid_event event;
    memset(&event, 0, sizeof event);
    event.type = UHID_CREATE2;
    snprintf((char *)event.u.create2.name, sizeof event.u.create2.name, "Document Camera");
    event.u.create2.rd_size = sizeof descriptor;
    event.u.create2.bus = BUS_USB;
    event.u.create2.vendor = vendor;
    event.u.create2.product = product;
    memcpy(event.u.create2.rd_data, descriptor, sizeof descriptor);
    if (send(fd, &event) != 0) {
        perror("uhid_camera: create");
        return 1;
    }

    int received = 0;
    while (received < count) {
        struct pollfd p = {.fd = fd, .events = POLLIN};
        if (poll(&p, 1, timeout * 1000) <= 0)
            break;
        memset(&event, 0, sizeof event);
        if (read(fd, &event, sizeof event) <= 0)
            break;
        if (event.type != UHID_OUTPUT)
            continue;
        printf("uhid_camera: output report of %u bytes:", event.u.output.size);
        for (unsigned i = 0; i < event.u.output.size; ++i)
            printf(" %02x", event.u.output.data[i]);
        printf("\n");
        ++received;
    }
    memset(&event, 0, sizeof event);
    event.type = UHID_DESTROY;
    send(fd, &event);
    close(fd);
    printf("uhid_camera: %d output report(s)\n", received);
    return received == count ? 0 : 1;
}
