#pragma once

#include <unistd.h>
#include <utility>

namespace afbridge {

// Owns one POSIX file descriptor and closes it when it goes.
class FileDescriptor
{
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) noexcept
        : FFd(fd)
    {}
    ~FileDescriptor() { close(); }
    FileDescriptor(FileDescriptor &&other) noexcept
        : FFd(std::exchange(other.FFd, -1))
    {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (this != &other) {
            close();
            FFd = std::exchange(other.FFd, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    bool valid() const noexcept { return FFd >= 0; }
    int get() const noexcept { return FFd; }

    // Closes the descriptor (if any); true when the system reported no error.
    // The descriptor is released either way: Linux frees it even when close()
    // fails, so it must not be closed a second time.
    bool close() noexcept
    {
        if (FFd < 0)
            return true;
        const int result = ::close(std::exchange(FFd, -1));
        return result == 0;
    }

private:
    int FFd = -1;
};

} // namespace afbridge
