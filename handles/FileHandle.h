#pragma once

// RAII ownership of a POSIX file descriptor. Header only and free of Qt and
// of the program's libraries, so a C-ABI library can hold one.

#include <unistd.h>
#include <utility>

// An owned file descriptor, closed when it goes. Not thread-safe: one owner
// uses it at a time.
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

    int Get() const noexcept { return FFd; }
    bool IsOpen() const noexcept { return FFd >= 0; }

    // Gives the descriptor up without closing it; the handle is empty after.
    int Release() noexcept { return std::exchange(FFd, -1); }

    // Closes the descriptor held (if any) and takes fd in its place.
    void Reset(int fd = -1) noexcept
    {
        Close();
        FFd = fd;
    }

    // Closes the descriptor held; true when there was none or the system
    // reported no error. The handle is empty either way: Linux frees the
    // descriptor even when close() fails, so it must not be closed again.
    bool Close() noexcept
    {
        if (FFd < 0)
            return true;
        return ::close(std::exchange(FFd, -1)) == 0;
    }

private:
    int FFd = -1;
};
