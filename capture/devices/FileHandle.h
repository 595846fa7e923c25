#pragma once

// RAII ownership of a POSIX file descriptor.

#include <unistd.h>

// An owned file descriptor, closed when it goes.
class TFileHandle
{
public:
    TFileHandle() = default;
    explicit TFileHandle(int fd) noexcept
        : FFd(fd)
    {}
    ~TFileHandle() { Reset(); }
    TFileHandle(TFileHandle &&other) noexcept
        : FFd(other.Release())
    {}
    TFileHandle &operator=(TFileHandle &&other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    TFileHandle(const TFileHandle &) = delete;
    TFileHandle &operator=(const TFileHandle &) = delete;

    int Get() const { return FFd; }
    bool IsOpen() const { return FFd >= 0; }
    int Release() noexcept
    {
        const int fd = FFd;
        FFd = -1;
        return fd;
    }
    void Reset(int fd = -1) noexcept
    {
        if (FFd >= 0)
            ::close(FFd);
        FFd = fd;
    }

private:
    int FFd = -1;
};
