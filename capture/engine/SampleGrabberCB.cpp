#include "capture/engine/SampleGrabberCB.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>

TSampleGrabberCB::TSampleGrabberCB() = default;

TSampleGrabberCB::~TSampleGrabberCB()
{
    ClearBuffer();
}

void TSampleGrabberCB::ClearBuffer()
{
    const TBufferAccess access(*this);
    FBuffLen = 0;
    FBufWidth = FBufHeight = FBufStride = 0;
    std::vector<std::uint8_t>().swap(FBuffer);
}

TRect TSampleGrabberCB::SelectionRect() const
{
    return {FSelLeft, FSelTop, FSelRight, FSelBottom};
}

void TSampleGrabberCB::SetSelectionRect(const TRect &r)
{
    // Each side is read on its own by the streaming thread; a frame may see
    // a rectangle between two drag steps, always clipped to the picture.
    FSelLeft = r.Left;
    FSelTop = r.Top;
    FSelRight = r.Right;
    FSelBottom = r.Bottom;
}

TSampleGrabberCB *TGrabberEvent::Callback() const
{
    TakeHandOver(this);
    if (FGrab && FCallback && !FCallback->IsCurrentGrab(*FGrab))
        return nullptr;
    return FCallback;
}

TPixelEffects TSampleGrabberCB::CurrentEffects() const
{
    return {FInvertColor, FGrayscale, FFlipHorz, FFlipVert, FSelectionMode, SelectionRect()};
}

int TSampleGrabberCB::BufferCB(double /*SampleTime*/, const TFrameLayout &frame)
{
    ApplyPixelEffects(frame, CurrentEffects());

    const std::uint32_t taken = frame.IsValid() ? FGrabState.fetch_and(~GrabArmed) : 0;
    if (taken & GrabArmed) {
        const std::uint32_t generation = taken >> 1;
        {
            const TBufferAccess access(*this);
            const std::size_t length = std::size_t(frame.Stride) * std::size_t(frame.Height);
            FBuffer.resize(length);
            // The last row may end without its padding.
            std::memcpy(FBuffer.data(), frame.Data, std::min(length, frame.Size));
            FBuffLen = std::uint32_t(length);
            FBufWidth = frame.Width;
            FBufHeight = frame.Height;
            FBufStride = frame.Stride;
        }
        if (QObject *owner = FOwner)
            QCoreApplication::postEvent(owner,
                                        new TGrabberEvent(WM_FRAMEREADY, this, {}, generation));
    }
    FrameArrived();
    return 0;
}

void TSampleGrabberCB::FrameArrived()
{
    QObject *owner = FOwner;
    if (owner)
        PostFlagged<TGrabberEvent>(owner, FArrivedPending, WM_FRAMEARRIVED, this);
}
