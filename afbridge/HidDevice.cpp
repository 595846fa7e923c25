#include "afbridge/HidDevice.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace afbridge {

bool THidDevice::Open(const std::string &path) noexcept
{
    FFd.Close();
    // Linux has no share modes: other programs may open the node as well,
    // as far as its permissions allow. No O_CREAT: existing nodes only.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    FFd.Reset(fd);
    return FFd.IsOpen();
}

bool THidDevice::Write(const TFocusReport &report) noexcept
{
    if (!FFd.IsOpen())
        return false;
    // hidraw takes one report per write; a short write is a failure, never
    // something to complete with a second write.
    ssize_t written;
    do {
        written = ::write(FFd.Get(), report.data(), report.size());
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(report.size());
}

std::int32_t THidDevice::Close() noexcept
{
    if (!FFd.IsOpen())
        return -1;
    return FFd.Close() ? 1 : 0;
}

} // namespace afbridge
