#include "capture/devices/V4l2System.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

class TRealV4l2System final : public TV4l2System
{
public:
    int Open(const QString &path, int flags) override
    {
        return ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    }
    int Close(int fd) override { return ::close(fd); }
    int Ioctl(int fd, unsigned long request, void *arg) override
    {
        int r;
        do {
            r = ::ioctl(fd, request, arg);
        } while (r < 0 && errno == EINTR);
        return r;
    }
    QString SysfsRoot() const override { return QStringLiteral("/sys"); }
};

} // namespace

std::shared_ptr<TV4l2System> TV4l2System::Real()
{
    static const auto real = std::make_shared<TRealV4l2System>();
    return real;
}
