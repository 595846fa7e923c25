#pragma once

// Helpers of the capture tests: simulated cameras, a component bound to one,
// waiting on the event loop, the capture log, and grabbed frames.

#include "capture/component/CustomVideoCap.h"
#include "capture/devices/SimulatedCamera.h"
#include "capture/engine/PixelEffects.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

// Runs the event loop until `done` holds or `ms` pass; returns `done()`.
inline bool WaitUntil(const std::function<bool()> &done, int ms = 10000)
{
    return QTest::qWaitFor(done, ms);
}

// Runs the event loop for `ms` milliseconds.
inline void Spin(int ms)
{
    QTest::qWait(ms);
}

// Collects what is written to the "ovilen.capture" category while it lives.
class TCaptureLog
{
public:
    TCaptureLog()
    {
        std::lock_guard lock(Mutex());
        Current() = this;
        FPrevious = qInstallMessageHandler(&TCaptureLog::Handler);
    }
    ~TCaptureLog()
    {
        std::lock_guard lock(Mutex());
        qInstallMessageHandler(FPrevious);
        Current() = nullptr;
    }
    QStringList Lines() const
    {
        std::lock_guard lock(Mutex());
        return FLines;
    }
    bool Contains(const QString &text) const { return Lines().contains(text); }

private:
    static void Handler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
    {
        std::lock_guard lock(Mutex());
        if (Current() && ctx.category && QByteArray(ctx.category) == "ovilen.capture")
            Current()->FLines << msg;
        if (type >= QtWarningMsg)
            fprintf(stderr, "%s: %s\n", ctx.category ? ctx.category : "", qPrintable(msg));
    }
    static std::mutex &Mutex()
    {
        static std::mutex m;
        return m;
    }
    static TCaptureLog *&Current()
    {
        static TCaptureLog *current = nullptr;
        return current;
    }
    QtMessageHandler FPrevious = nullptr;
    QStringList FLines;
};

// A simulated camera description for the tests.
inline TSimulatedCamera SimCamera(const QString &name, const QString &path,
                                  std::vector<TSimulatedMode> modes)
{
    TSimulatedCamera c;
    c.FriendlyName = name;
    c.DevicePath = path;
    c.Modes = std::move(modes);
    // A still picture without noise, different in every direction: every
    // frame is the same, and every turn of it tells.
    c.Pattern = QStringLiteral("colors");
    c.Speed = 0;
    return c;
}

// A grabbed frame, copied out of the grabber buffer.
struct TGrabbed
{
    int Width = 0, Height = 0, Stride = 0;
    std::vector<std::uint8_t> Bytes;
    const std::uint8_t *Px(int x, int y) const
    {
        return &Bytes[std::size_t(y) * std::size_t(Stride) + std::size_t(x) * 3];
    }
};

// The component as the tests drive it: counts its events and keeps the
// frames handed to the frame-ready message. It can mark itself as
// recording, as a recording start does.
class TTestVideoCap : public TCustomVideoCap
{
public:
    TTestVideoCap()
    {
        SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
        resize(640, 360);
        OnStartPreview = [this](TCustomVideoCap *) {
            ++StartPreviewCount;
        };
        OnStartRecord = [this](TCustomVideoCap *) {
            ++StartRecordCount;
        };
        OnStopPreview = [this](TCustomVideoCap *) {
            ++StopPreviewCount;
        };
        OnStopRecord = [this](TCustomVideoCap *) {
            ++StopRecordCount;
        };
        OnPausePreview = [this](TCustomVideoCap *) {
            ++PauseCount;
        };
        OnResumePreview = [this](TCustomVideoCap *) {
            ++ResumeCount;
        };
        OnChangeFilter = [this](TCustomVideoCap *) {
            ++ChangeFilterCount;
        };
        OnError = [this](TCustomVideoCap *) {
            ++ErrorCount;
        };
    }

    void FlagRecording() { RecordSession().Hold(); }

    // Asks for one frame and waits for it.
    bool Grab(TGrabbed &out, int ms = 10000)
    {
        const int before = FrameReadyCount;
        GrabberCB().SetGrabbingEnabled(true);
        if (!WaitUntil([&] { return FrameReadyCount > before; }, ms))
            return false;
        out = LastGrab;
        return true;
    }

    int StartPreviewCount = 0, StartRecordCount = 0, StopPreviewCount = 0, StopRecordCount = 0,
        PauseCount = 0, ResumeCount = 0, ChangeFilterCount = 0, ErrorCount = 0, FrameReadyCount = 0;
    TGrabbed LastGrab;

protected:
    void FrameReadyMessage(TSampleGrabberCB &cb) override
    {
        ++FrameReadyCount;
        const TSampleGrabberCB::TBufferAccess access(cb);
        LastGrab.Width = cb.BufferWidth();
        LastGrab.Height = cb.BufferHeight();
        LastGrab.Stride = cb.BufferStride();
        LastGrab.Bytes.assign(cb.Buffer(), cb.Buffer() + cb.BufferLength());
    }
};
