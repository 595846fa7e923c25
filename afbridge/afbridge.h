/*
 * afbridge: sets the focus mode of a document camera through its HID interface.
 *
 * The library keeps one table of the HID interfaces present on the computer and
 * at most one open device. Every argument and every result is a 32-bit signed
 * integer, so the functions can be called from any language that reaches a C
 * library. The usual order of calls:
 *
 *     if (fnSearchAllDevice() >= 0 && fnOpenDeviceById(0x1234, 0x2003) == 0) {
 *         fnSetAFMode(1);
 *         fnCloseDevice();
 *     }
 *
 * On Linux the HID interfaces are the hidraw device nodes (/dev/hidrawN);
 * writing to them needs write permission on the node, which a udev rule
 * usually grants.
 *
 * The state is process-wide; calls are serialised inside the library, and no
 * C++ exception ever leaves it.
 *
 * pkg-config name: afbridge.
 */
#ifndef AFBRIDGE_H
#define AFBRIDGE_H

#include <stdint.h>

#if defined(__GNUC__) || defined(__clang__)
#define AFBRIDGE_API __attribute__((visibility("default")))
#else
#define AFBRIDGE_API
#endif

#ifdef __cplusplus
#define AFBRIDGE_NOEXCEPT noexcept
extern "C" {
#else
#define AFBRIDGE_NOEXCEPT
#endif

/*
 * Lists the HID interfaces present, in node-number order, into the device
 * table, replacing the table of an earlier search. A device that is open stays
 * open.
 *
 * Each entry holds the interface's USB vendor and product identifiers, its name
 * "vid_xxxx&pid_xxxx" (four lower-case hexadecimal digits each) and its device
 * path. An interface whose details cannot be read (no identifiers, identifiers
 * that are not hexadecimal or wider than 16 bits, a device path of 256
 * characters or more) is counted but gets no entry, so the result can exceed
 * the number of table entries.
 *
 * Returns the number of interfaces found (0 when there is none), or -1 when the
 * list of interfaces cannot be read; the table is then empty.
 */
AFBRIDGE_API int32_t fnSearchAllDevice(void) AFBRIDGE_NOEXCEPT;

/*
 * One character of the name of table entry `index`: the character code at
 * `position` (counted from 0) of "vid_xxxx&pid_xxxx", 0 at and after the end
 * of the name (position 17 on).
 *
 * Returns -1 for an index outside the table or a negative position.
 *
 * Reading a whole name:
 *
 *     char name[18];
 *     int32_t c, p;
 *     for (p = 0; p < 17 && (c = fnGetDeviceName(index, p)) > 0; ++p)
 *         name[p] = (char)c;
 *     name[p] = '\0';
 */
AFBRIDGE_API int32_t fnGetDeviceName(int32_t index, int32_t position) AFBRIDGE_NOEXCEPT;

/*
 * The identifiers of table entry `index` as one number: vendor * 65536 +
 * product, formed in 32 bits. `(uint32_t)id >> 16` is the vendor and
 * `id & 0xFFFF` the product; a vendor of 0x8000 or more gives a negative
 * number.
 *
 * Returns -1 for an index outside the table. -1 is also the number of the pair
 * ffff:ffff; fnGetDeviceName(index, 0), which is -1 only for an index outside
 * the table, tells the two apart.
 */
AFBRIDGE_API int32_t fnGetDeviceId(int32_t index) AFBRIDGE_NOEXCEPT;

/*
 * Opens table entry `index` for reading and writing, as fnOpenDeviceById opens
 * the entry it finds (a device already open is closed first).
 *
 * Returns 0 when the device is open; -1 for an index outside the table (nothing
 * is closed then) or when opening fails (no device is open then).
 */
AFBRIDGE_API int32_t fnOpenDeviceByIndex(int32_t index) AFBRIDGE_NOEXCEPT;

/*
 * Opens the first table entry, in table order, whose vendor and product
 * identifiers equal the arguments, for reading and writing. A device already
 * open is closed first, so only one is ever open.
 *
 * Returns 0 when the device is open; -1 when no entry matches (a device already
 * open then stays open) or when opening fails (no device is open then).
 */
AFBRIDGE_API int32_t fnOpenDeviceById(int32_t vendorId, int32_t productId) AFBRIDGE_NOEXCEPT;

/*
 * Closes the open device.
 *
 * Returns 1 when it was closed, 0 when the system reported an error while
 * closing it (it is not open afterwards either), -1 when no device is open.
 */
AFBRIDGE_API int32_t fnCloseDevice(void) AFBRIDGE_NOEXCEPT;

/*
 * Writes the 65-byte focus-mode report to the open device in one write:
 * 00 02 04 MM followed by 61 zero bytes, where MM is 00 for a non-zero `mode`
 * and 03 for mode 0. The leading 00 is the report number.
 *
 * Returns 0 when all 65 bytes were written; -1 when no device is open, the
 * write fails or writes fewer bytes.
 */
AFBRIDGE_API int32_t fnSetAFMode(int32_t mode) AFBRIDGE_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* AFBRIDGE_H */
