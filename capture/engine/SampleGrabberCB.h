#pragma once

// The frame grabber's callback object: called on the streaming thread with
// every frame on its way to the picture window, it applies the picture
// effects in place, copies the frame into its buffer when grabbing is
// enabled (stills, recording) and tells its owner by posted events.

#include "capture/devices/CaptureTypes.h"
#include "capture/engine/HandOver.h"
#include "capture/engine/PixelEffects.h"
#include "capture/engine/PostedFlag.h"

#include <QEvent>
#include <QObject>
#include <QSize>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class TSampleGrabberCB;

// The component's posted messages. The numbers follow the window messages
// they stand for (WM_USER + n).
enum TCaptureMessage : int
{
    WM_GRAPHNOTIFY = QEvent::User + 1,  // pipeline bus messages wait
    WM_FRAMEREADY = QEvent::User + 2,   // a frame was copied into the grabber buffer
    WM_FRAMEARRIVED = QEvent::User + 3, // a frame passed the grabber
    WM_STILLREQUEST = QEvent::User + 5, // the camera asks for a still
    WM_SELECTIONDONE = QEvent::User + 6,
};

// A posted message that carries the grabber callback object; frame-arrived
// and graph-event messages go under their pending flag.
class TGrabberEvent : public TFlaggedEvent
{
public:
    TGrabberEvent(TCaptureMessage type, TSampleGrabberCB *cb, TPostedFlagPtr pending = {},
                  std::optional<std::uint32_t> grab = {})
        : TFlaggedEvent(QEvent::Type(type), std::move(pending))
        , FCallback(cb)
        , FGrab(grab)
    {
        // Published again once complete: the base published before this
        // member was written.
        PublishHandOver(this);
    }
    // The grabber; null for a frame-ready message whose grab was cancelled
    // after it was posted (see TSampleGrabberCB::CancelGrabs).
    TSampleGrabberCB *Callback() const;

private:
    TSampleGrabberCB *FCallback;
    std::optional<std::uint32_t> FGrab; // frame-ready: the grab's generation
};

class TSampleGrabberCB
{
public:
    TSampleGrabberCB();
    ~TSampleGrabberCB();
    TSampleGrabberCB(const TSampleGrabberCB &) = delete;
    TSampleGrabberCB &operator=(const TSampleGrabberCB &) = delete;

    // The object the messages are posted to (the component).
    QObject *Owner() const { return FOwner; }
    void SetOwner(QObject *owner) { FOwner = owner; }

    // The grabber buffer: the last frame copied while grabbing was enabled,
    // 24-bit BGR, top-down, BufferStride bytes per row, BufferLength bytes.
    // Read it only while a TBufferAccess of this grabber lives.
    const std::uint8_t *Buffer() const { return FBuffer.data(); }
    std::uint32_t BufferLength() const { return FBuffLen; }
    int BufferWidth() const { return FBufWidth; }
    int BufferHeight() const { return FBufHeight; }
    int BufferStride() const { return FBufStride; }
    void ClearBuffer();
    // Holds the buffer's lock for its lifetime: the streaming thread does
    // not copy a frame into the buffer meanwhile.
    class TBufferAccess
    {
    public:
        explicit TBufferAccess(const TSampleGrabberCB &cb)
            : FGuard(cb.FLock)
        {}

    private:
        std::lock_guard<std::mutex> FGuard;
    };

    // One-shot: the next frame is copied, then grabbing switches itself off.
    bool GrabbingEnabled() const { return FGrabState & GrabArmed; }
    void SetGrabbingEnabled(bool value)
    {
        if (value)
            FGrabState.fetch_or(GrabArmed);
        else
            FGrabState.fetch_and(~GrabArmed);
    }
    // The UI thread: the grabs armed so far are void. Grabbing is switched
    // off, and a frame-ready message already on its way hands out no grabber
    // when it arrives, so it is neither a still nor a recording's frame.
    void CancelGrabs()
    {
        std::uint32_t state = FGrabState;
        while (!FGrabState.compare_exchange_weak(state, (state | GrabArmed) + 1)) {
        }
    }
    bool IsCurrentGrab(std::uint32_t generation) const { return generation == FGrabState >> 1; }

    // The picture effects: the grabber is the one place that holds them.
    // Each is read afresh for every frame.
    bool InvertColor() const { return FInvertColor; }
    void SetInvertColor(bool v) { FInvertColor = v; }
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool v) { FGrayscale = v; }
    bool FlipHorz() const { return FFlipHorz; }
    void SetFlipHorz(bool v) { FFlipHorz = v; }
    bool FlipVert() const { return FFlipVert; }
    void SetFlipVert(bool v) { FFlipVert = v; }
    // Invert, grayscale and both flips off (a recording carries none).
    void SwitchEffectsOff() { FInvertColor = FGrayscale = FFlipHorz = FFlipVert = false; }
    // The rectangle tinted while SelectionMode is set, in picture pixels from
    // the top-left corner (Right and Bottom exclusive).
    TRect SelectionRect() const;
    void SetSelectionRect(const TRect &r);
    bool SelectionMode() const { return FSelectionMode; }
    void SetSelectionMode(bool v) { FSelectionMode = v; }
    // The picture size the component expects (VideoWidth x VideoHeight); the
    // effects themselves go by each frame's own size.
    QSize VideoSize() const { return {FVideoWidth, FVideoHeight}; }
    void SetVideoSize(QSize s)
    {
        FVideoWidth = s.width();
        FVideoHeight = s.height();
    }

    // The frame callback, on the streaming thread: `frame` is a 24-bit BGR
    // frame that may be changed in place. Returns 0.
    int BufferCB(double SampleTime, const TFrameLayout &frame);
    // Posts only the frame-arrived message (frames the effects cannot work on).
    void FrameArrived();

private:
    TPixelEffects CurrentEffects() const;

    std::vector<std::uint8_t> FBuffer;
    std::uint32_t FBuffLen = 0;
    int FBufWidth = 0, FBufHeight = 0, FBufStride = 0;
    std::atomic<QObject *> FOwner{nullptr};
    // Whether a grab is armed (the lowest bit) and the generation of grabs
    // (the rest), in one word: the streaming thread takes a grab and learns
    // its generation in one step, so a cancel and a new grab cannot fall
    // between the two. A cancel clears the bit and raises the generation.
    static constexpr std::uint32_t GrabArmed = 1;
    std::atomic<std::uint32_t> FGrabState{0};
    mutable std::mutex FLock; // guards the buffer and its sizes (TBufferAccess)
    std::atomic<bool> FInvertColor{false};
    std::atomic<bool> FGrayscale{false};
    std::atomic<bool> FFlipHorz{false};
    std::atomic<bool> FFlipVert{false};
    std::atomic<std::int32_t> FSelLeft{0}, FSelTop{0}, FSelRight{0}, FSelBottom{0};
    std::atomic<bool> FSelectionMode{false};
    std::atomic<int> FVideoWidth{0}, FVideoHeight{0};
    // A frame-arrived message is on its way: later frames do not queue more.
    TPostedFlagPtr FArrivedPending = std::make_shared<TPostedFlag>();
};
