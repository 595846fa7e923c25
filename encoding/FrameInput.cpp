#include "encoding/FrameInput.h"

#include "encoding/EncodingLog.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mathematics.h>
#include <libavutil/pixdesc.h>
}

#include <QCoreApplication>
#include <QThread>

TFrameInput::TFrameInput(std::shared_ptr<TFrameAdapterCore> core, const TInputSettings &settings)
    : FCore(std::move(core))
    , FPixelFormat(settings.PixelFormat)
    , FFrameRate(settings.FrameRate)
{
    {
        std::lock_guard lock(FCore->Lock);
        FRealTime = FCore->RealTime;
    }
    const int bits = av_get_bits_per_pixel(av_pix_fmt_desc_get(settings.PixelFormat));
    FInfo.Width = settings.Width;
    FInfo.Height = settings.Height;
    FInfo.BitsPerPixel = bits;
    FInfo.BytesPerLine = (settings.Width * (bits / 8) + 3) / 4 * 4;
    FInfo.BytesPerFrame = FInfo.BytesPerLine * settings.Height;
    FInfo.PixelFormat = settings.PixelFormat;
    FInfo.TimeStamp = 0;
    FInfo.LastTimeStamp = INT64_MIN;
    FInfo.FrameNumber = 1;
    FBuffer.assign(size_t(FInfo.BytesPerFrame), 0);
}

TFrameInput::~TFrameInput()
{
    Cancel();
}

const uint8_t *TFrameInput::TopRow() const
{
    return FBuffer.data() + size_t(FInfo.BytesPerLine) * size_t(FInfo.Height - 1);
}

int64_t TFrameInput::NextDefaultTimeStamp() const
{
    // One frame period is 1,000,000 x den / num microseconds.
    return FCounterBase +
           av_rescale(FFramesSinceBase, int64_t(1000000) * FFrameRate.den, FFrameRate.num);
}

void TFrameInput::Cancel()
{
    std::shared_ptr<TFrameRequest> pending;
    {
        std::lock_guard lock(FRequestLock);
        FCancelled = true;
        pending = FPending;
    }
    if (pending)
        pending->CancelIfPending();
}

int TFrameInput::Request(std::stop_token stop)
{
    bool mainThread;
    std::chrono::milliseconds timeout;
    {
        std::lock_guard lock(FCore->Lock);
        mainThread = FCore->TriggerEventInMainThread;
        timeout = FCore->RequestTimeout;
    }
    if (!mainThread || !QCoreApplication::instance() || FCore->OnHomeThread()) {
        {
            std::lock_guard lock(FRequestLock);
            if (FCancelled)
                return 0;
        }
        return FCore->Invoke(FBuffer.data(), &FInfo);
    }

    auto request = std::make_shared<TFrameRequest>();
    request->Core = FCore;
    request->Data = FBuffer.data();
    request->Info = &FInfo;
    {
        std::lock_guard lock(FRequestLock);
        if (FCancelled)
            return 0;
        FPending = request;
    }
    if (!FCore->Post(request)) {
        std::lock_guard lock(FRequestLock);
        FPending.reset();
        return 0; // the adapter is gone
    }

    using TState = TFrameRequest::TState;
    int result = 0;
    {
        std::unique_lock lock(request->Lock);
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        request->Changed.wait_until(lock, stop, deadline, [&] {
            return request->State == TState::Done || request->State == TState::Cancelled;
        });
        if (request->State == TState::Pending) {
            request->State = TState::Cancelled;
            if (!stop.stop_requested())
                qCDebug(lcEncoding, "frame request not served within %d ms, previous picture kept",
                        int(timeout.count()));
        }
        // A handler already running is short (one copy) and never waits for this thread.
        request->Changed.wait(lock, [&] { return request->State != TState::Running; });
        if (request->State == TState::Done)
            result = request->Result;
    }
    std::lock_guard lock(FRequestLock);
    FPending.reset();
    return result;
}

int TFrameInput::ReadFrame(std::stop_token stop, int64_t &pts)
{
    const int64_t defaultStamp = NextDefaultTimeStamp();
    FInfo.TimeStamp = defaultStamp;
    const int result = Request(stop);
    if (result < 0) {
        if (result != AVERROR_EOF)
            qCWarning(lcEncoding, "reading frame (BMP) return %d", result);
        return result;
    }
    int64_t stamp = defaultStamp;
    if (FInfo.TimeStamp != defaultStamp) {
        if (FrameStampAccepted(FInfo, FInfo.TimeStamp)) {
            stamp = FInfo.TimeStamp;
            FCounterBase = stamp;
            FFramesSinceBase = 0;
        } else {
            qCDebug(lcEncoding, "invalid pts %lld", static_cast<long long>(FInfo.TimeStamp));
        }
    }
    FInfo.LastTimeStamp = stamp;
    FInfo.TimeStamp = stamp;
    FInfo.FrameNumber++;
    FFramesSinceBase++;
    pts = stamp;
    return 0;
}
