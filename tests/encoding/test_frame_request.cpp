// Frame requests served on the main thread while the worker waits, and never a worker
// stuck on a main thread that does not serve them.
#include "encoding/FrameInput.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

TInputSettings SmallFrames()
{
    TInputSettings s;
    s.Kind = TInputKind::FrameInput;
    s.Width = 16;
    s.Height = 8;
    return s;
}

// Runs the main thread's event loop until the future is ready (or 10 s passed).
template <typename T>
bool ServeUntilReady(std::future<T> &future)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (future.wait_for(0ms) == std::future_status::ready)
            loop.quit();
    });
    poll.start(2);
    QTimer::singleShot(10s, &loop, &QEventLoop::quit);
    loop.exec();
    return future.wait_for(0ms) == std::future_status::ready;
}

struct TReadResult
{
    int Result = 0;
    int64_t Pts = 0;
};

class FrameRequest : public testing::Test
{
protected:
    void SetUp() override
    {
        FAdapter.SetOnReadFrameBMP(
            [this](TFrameInputAdapter *, uint8_t *data, TInputFrameInfo *info) {
                ++FCalls;
                FOnMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
                data[0] = 0xAB;
                info->TimeStamp = 777000;
                return 0;
            });
        FInput = std::make_unique<TFrameInput>(TFrameInputAdapter::Find(FAdapter.InputName()),
                                               SmallFrames());
    }

    // One frame request made from a worker thread.
    std::future<TReadResult> ReadOnWorker(std::stop_token stop = {})
    {
        return std::async(std::launch::async, [this, stop] {
            TReadResult r;
            r.Result = FInput->ReadFrame(stop, r.Pts);
            return r;
        });
    }

    uint8_t FirstByte() const { return FInput->TopRow()[FInput->Stride() * 7]; }

    TFrameInputAdapter FAdapter;
    std::unique_ptr<TFrameInput> FInput;
    std::atomic<int> FCalls{0};
    std::atomic<bool> FOnMainThread{false};
};

} // namespace

TEST_F(FrameRequest, HandlerRunsOnTheMainThreadWhileTheWorkerWaits)
{
    auto read = ReadOnWorker();
    ASSERT_TRUE(ServeUntilReady(read));
    const TReadResult r = read.get();
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Pts, 777000);
    EXPECT_EQ(FCalls, 1);
    EXPECT_TRUE(FOnMainThread);
    EXPECT_EQ(FirstByte(), 0xAB);
}

TEST_F(FrameRequest, WithoutMainThreadTriggerTheHandlerRunsOnTheWorker)
{
    FAdapter.SetTriggerEventInMainThread(false);
    auto read = ReadOnWorker();
    ASSERT_EQ(read.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(read.get().Pts, 777000);
    EXPECT_FALSE(FOnMainThread);
}

TEST_F(FrameRequest, UnservedRequestKeepsThePictureAfterTheTimeout)
{
    FAdapter.SetRequestTimeout(100ms);
    auto read = ReadOnWorker();
    // The main thread is busy: it never serves the request.
    ASSERT_EQ(read.wait_for(10s), std::future_status::ready);
    const TReadResult r = read.get();
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Pts, 0); // the default stamp of the first frame
    EXPECT_EQ(FirstByte(), 0);
    // The request left in the main thread's queue was withdrawn.
    QCoreApplication::processEvents();
    EXPECT_EQ(FCalls, 0);
    EXPECT_EQ(FirstByte(), 0);
}

TEST_F(FrameRequest, CancelReleasesAWaitingWorkerAndNoHandlerRunsAfterIt)
{
    FAdapter.SetRequestTimeout(60s);
    auto read = ReadOnWorker();
    std::this_thread::sleep_for(50ms); // the request is queued, the worker waits
    FInput->Cancel();
    ASSERT_EQ(read.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(read.get().Result, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(FCalls, 0);
    // Later requests do not reach the handler either.
    auto again = ReadOnWorker();
    ASSERT_TRUE(ServeUntilReady(again));
    EXPECT_EQ(again.get().Pts, 33333);
    EXPECT_EQ(FCalls, 0);
}

TEST_F(FrameRequest, StopReleasesAWaitingWorker)
{
    FAdapter.SetRequestTimeout(60s);
    std::stop_source stop;
    auto read = ReadOnWorker(stop.get_token());
    std::this_thread::sleep_for(50ms);
    stop.request_stop();
    ASSERT_EQ(read.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(read.get().Pts, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(FCalls, 0);
}

TEST_F(FrameRequest, DestroyedAdapterIsNeverCalled)
{
    auto adapter = std::make_unique<TFrameInputAdapter>();
    std::atomic<int> calls = 0;
    adapter->SetOnReadFrameBMP([&](TFrameInputAdapter *, uint8_t *, TInputFrameInfo *) {
        ++calls;
        return 0;
    });
    TFrameInput input(TFrameInputAdapter::Find(adapter->InputName()), SmallFrames());
    auto read = std::async(std::launch::async, [&] {
        int64_t pts = -1;
        return input.ReadFrame({}, pts);
    });
    std::this_thread::sleep_for(50ms); // queued on the main thread
    adapter.reset();
    ASSERT_TRUE(ServeUntilReady(read));
    EXPECT_EQ(read.get(), 0);
    EXPECT_EQ(calls, 0);
}
