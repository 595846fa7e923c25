// Stills of the live picture. A request arms the grabber for one frame; the
// streaming thread copies the next processed frame into the grabber buffer
// and posts the frame-ready message; here, on the UI thread, the copy becomes
// an upright 32-bit image (cropped in selection mode) for OnCapturedEvent.
// The camera's snapshot button asks for a still through the still-request
// message.
#include "capture/component/BgrToRgb32.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/devices/CaptureLog.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

// The grabbed frame (top-down BGR rows, BufferStride bytes apart) as an
// upright 32-bit image of its own; null when the buffer holds no whole frame.
// The caller holds the buffer's lock.
QImage StillFromBuffer(const TSampleGrabberCB &cb)
{
    const int w = cb.BufferWidth(), h = cb.BufferHeight(), stride = cb.BufferStride();
    if (w <= 0 || h <= 0 || stride < w * 3 ||
        std::uint64_t(stride) * std::uint64_t(h - 1) + std::uint64_t(w) * 3 > cb.BufferLength())
        return {};
    QImage still(w, h, QImage::Format_RGB32);
    if (still.isNull())
        return {};
    for (int y = 0; y < h; ++y)
        BgrToRgb32(cb.Buffer() + std::size_t(y) * std::size_t(stride),
                   reinterpret_cast<QRgb *>(still.scanLine(y)), w);
    return still;
}

} // namespace

void TCustomVideoCap::CaptureVideo()
{
    CaptureRect({0, 0, VideoWidth(), VideoHeight()});
}

void TCustomVideoCap::CaptureRect(const TRect &ARect)
{
    if (!FVideoWindow) // no pipeline built
        return;
    FSelectionRect = ARect;
    FGrabberCB->SetGrabbingEnabled(true);
}

void TCustomVideoCap::FrameReadyMessage(TSampleGrabberCB &cb)
{
    QImage still;
    {
        const TSampleGrabberCB::TBufferAccess access(cb);
        // During a recording the frame belongs to the recording.
        if (Recording())
            return;
        still = StillFromBuffer(cb);
    }
    // The image is a copy: the lock is not held while the handler saves it,
    // so a new grab never waits for the handler.
    if (still.isNull())
        return;
    if (FSelectionMode) {
        // A rectangle reaching outside the picture is clipped to it.
        const QRect wanted(FSelectionRect.Left, FSelectionRect.Top, FSelectionRect.Width(),
                           FSelectionRect.Height());
        const QRect part = wanted.intersected(still.rect());
        if (part.isEmpty()) {
            qCDebug(lcCapture) << "the selection" << wanted << "holds no picture: no still";
            return;
        }
        if (part != still.rect())
            still = still.copy(part);
    }
    if (OnCapturedEvent)
        OnCapturedEvent(this, still);
}

QImage TCustomVideoCap::CaptureWindow()
{
    if (width() <= 0 || height() <= 0)
        return {};
    QImage shown(size(), QImage::Format_RGB32);
    shown.fill(FBackgroundColor);
    render(&shown);
    return shown.convertToFormat(QImage::Format_RGB888);
}

// ---- the camera's snapshot button ----

void TCustomVideoCap::StillRequestMessage()
{
    // A press while no picture runs, or while recording, would leave the
    // caller's capturing notice up with no still to follow.
    if (!Previewing() || Recording())
        return;
    Raise(OnCaptureEvent);
    // The wait runs on a timer: the UI thread keeps handling its events.
    QElapsedTimer clock;
    clock.start();
    StillRequestDue(clock.msecsSinceReference());
}

void TCustomVideoCap::StillRequestDue(std::int64_t requestedAt)
{
    QElapsedTimer clock;
    clock.start();
    const std::int64_t left = requestedAt + SnapshotButtonDelayMs - clock.msecsSinceReference();
    if (left > 0) {
        QTimer::singleShot(std::chrono::milliseconds(left), Qt::PreciseTimer, this,
                           [this, requestedAt] { StillRequestDue(requestedAt); });
        return;
    }
    CaptureVideo();
}
