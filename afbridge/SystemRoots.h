#pragma once

#include <string>

namespace afbridge {

// The folders in which the library finds the HID interfaces: the sysfs root
// ("/sys", holding class/hidraw) and the device root ("/dev", holding the
// hidraw nodes). The test suite points them at a fake tree in a temporary
// folder through the environment variables AFBRIDGE_SYSFS_ROOT and
// AFBRIDGE_DEV_ROOT, read at every search; a program running with raised
// privileges (set-user-ID or set-group-ID) ignores them.
std::string SysfsRoot();
std::string DevRoot();

} // namespace afbridge
