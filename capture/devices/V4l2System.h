#pragma once

// The seam between the V4L2 provider and the system: opening device nodes,
// ioctl and the sysfs tree. The real system is used unless a test hands the
// provider another one (recorded answers, a fake sysfs tree).

#include <QString>
#include <memory>
#include <utility>

class TV4l2System
{
public:
    virtual ~TV4l2System() = default;

    // As open(2), close(2) and ioctl(2): -1 with errno set on failure.
    virtual int Open(const QString &path, int flags) = 0;
    virtual int Close(int fd) = 0;
    virtual int Ioctl(int fd, unsigned long request, void *arg) = 0;
    // The folder that stands for /sys.
    virtual QString SysfsRoot() const = 0;
    // The folder that stands for /dev where the camera's input nodes (its
    // snapshot button) are opened.
    virtual QString DevRoot() const { return QStringLiteral("/dev"); }

    // The machine's own devices and /sys.
    static std::shared_ptr<TV4l2System> Real();
};

// An open device node, closed through its system when it goes.
class TV4l2Fd
{
public:
    TV4l2Fd(TV4l2System &sys, const QString &path, int flags)
        : FSys(&sys)
        , FFd(sys.Open(path, flags))
    {}
    TV4l2Fd(const TV4l2Fd &) = delete;
    TV4l2Fd &operator=(const TV4l2Fd &) = delete;
    ~TV4l2Fd()
    {
        if (FFd >= 0)
            FSys->Close(FFd);
    }
    bool IsOpen() const { return FFd >= 0; }
    // ioctl on the node; true on success.
    bool Ioctl(unsigned long request, void *arg) const
    {
        return FSys->Ioctl(FFd, request, arg) >= 0;
    }

private:
    TV4l2System *FSys;
    int FFd;
};
