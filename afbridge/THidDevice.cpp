#include "afbridge/THidDevice.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace afbridge {

bool THidDevice::open(const std::string &path) noexcept
{
    FFd.close();
    // Linux has no share modes: other programs may open the node as well,
    // as far as its permissions allow. No O_CREAT: existing nodes only.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    FFd = FileDescriptor(fd);
    return FFd.valid();
}

bool THidDevice::write(const TFocusReport &report) noexcept
{
    if (!FFd.valid())
        return false;
    // hidraw takes one report per write; a short write is a failure, never
    // something to complete with a second write.
    ssize_t written;
    do {
        written = ::write(FFd.get(), report.data(), report.size());
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(report.size());
}

std::int32_t THidDevice::close() noexcept
{
    if (!FFd.valid())
        return -1;
    return FFd.close() ? 1 : 0;
}

} // namespace afbridge
