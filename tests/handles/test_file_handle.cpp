#include "handles/FileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <utility>

namespace {

// A pipe whose write end is handed to a TFileHandle: once every write end is
// closed, the read end reads end of file. That tells "closed" apart from
// "open" without looking at descriptor numbers, which the system reuses.
class TPipe
{
public:
    TPipe()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
            FRead = ends[0];
            FWrite = ends[1];
        }
    }
    ~TPipe()
    {
        if (FRead >= 0)
            ::close(FRead);
    }
    TPipe(const TPipe &) = delete;
    TPipe &operator=(const TPipe &) = delete;

    bool Valid() const { return FRead >= 0 && FWrite >= 0; }
    // The write end, owned by the caller from now on.
    int TakeWriteEnd() { return std::exchange(FWrite, -1); }
    // True when the write end has been closed (end of file), false while it is open.
    bool WriteEndClosed() const
    {
        char byte;
        const ssize_t n = ::read(FRead, &byte, 1);
        return n == 0;
    }

private:
    int FRead = -1;
    int FWrite = -1;
};

TEST(FileHandle, ClosesItsDescriptorWhenItGoes)
{
    TPipe pipe;
    ASSERT_TRUE(pipe.Valid());
    {
        const TFileHandle handle(pipe.TakeWriteEnd());
        EXPECT_TRUE(handle.IsOpen());
        EXPECT_FALSE(pipe.WriteEndClosed());
    }
    EXPECT_TRUE(pipe.WriteEndClosed());
}

TEST(FileHandle, ReleaseGivesTheDescriptorUpOpen)
{
    TPipe pipe;
    ASSERT_TRUE(pipe.Valid());
    const int fd = pipe.TakeWriteEnd();
    int released = -1;
    {
        TFileHandle handle(fd);
        released = handle.Release();
        EXPECT_FALSE(handle.IsOpen());
        EXPECT_EQ(handle.Get(), -1);
    }
    EXPECT_EQ(released, fd);
    EXPECT_FALSE(pipe.WriteEndClosed());
    ::close(released);
    EXPECT_TRUE(pipe.WriteEndClosed());
}

TEST(FileHandle, MovingHandsOwnershipOnAndClosesWhatTheTargetHeld)
{
    TPipe first, second;
    ASSERT_TRUE(first.Valid() && second.Valid());
    TFileHandle source(first.TakeWriteEnd());
    TFileHandle target(second.TakeWriteEnd());

    target = std::move(source);
    EXPECT_FALSE(source.IsOpen());
    EXPECT_TRUE(target.IsOpen());
    EXPECT_TRUE(second.WriteEndClosed());
    EXPECT_FALSE(first.WriteEndClosed());

    TFileHandle moved(std::move(target));
    EXPECT_FALSE(target.IsOpen());
    EXPECT_FALSE(first.WriteEndClosed());
    moved.Reset();
    EXPECT_TRUE(first.WriteEndClosed());
}

TEST(FileHandle, ResetClosesTheOldDescriptorAndTakesTheNew)
{
    TPipe first, second;
    ASSERT_TRUE(first.Valid() && second.Valid());
    TFileHandle handle(first.TakeWriteEnd());
    const int next = second.TakeWriteEnd();

    handle.Reset(next);
    EXPECT_TRUE(first.WriteEndClosed());
    EXPECT_FALSE(second.WriteEndClosed());
    EXPECT_EQ(handle.Get(), next);
}

TEST(FileHandle, CloseReportsTheSystemsResultAndEmptiesTheHandle)
{
    TPipe pipe;
    ASSERT_TRUE(pipe.Valid());
    TFileHandle open(pipe.TakeWriteEnd());
    EXPECT_TRUE(open.Close());
    EXPECT_FALSE(open.IsOpen());
    EXPECT_TRUE(pipe.WriteEndClosed());
    EXPECT_TRUE(open.Close()) << "closing an empty handle is no error";

    // A number no process can have open: close() fails, the handle is empty all the same.
    TFileHandle bad(1 << 30);
    EXPECT_FALSE(bad.Close());
    EXPECT_FALSE(bad.IsOpen());
}

} // namespace
