#pragma once

#include "encoding/EncodeOptions.h"
#include "encoding/FrameAdapterCore.h"
#include "encoding/FrameInputAdapter.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <stop_token>
#include <vector>

// One frame input of an encode task ("-f frameinput"): it owns the frame buffer, asks the
// adapter for each frame and stamps the frames.
//
// Time stamps: the default stamp of a frame is a counter at the nominal rate. A stamp the
// handler gives is taken only when it is greater than the previous frame's; otherwise the
// default is kept and "invalid pts" is logged. An accepted stamp moves the counter to it.
class TFrameInput
{
public:
    TFrameInput(std::shared_ptr<TFrameAdapterCore> core, const TInputSettings &settings);
    ~TFrameInput();
    TFrameInput(const TFrameInput &) = delete;
    TFrameInput &operator=(const TFrameInput &) = delete;

    // Asks for the next frame. 0: the picture is in the buffer and pts is its time stamp
    // (microseconds); negative: the handler's failure, the frame is dropped.
    int ReadFrame(std::stop_token stop, int64_t &pts);

    // Default time stamp of the next frame.
    int64_t NextDefaultTimeStamp() const;
    bool RealTime() const { return FRealTime; }

    // Cancels a request waiting for the adapter's thread; no request of this input reaches
    // the handler any more. Called from any thread; on the adapter's thread, no handler
    // call of this input happens after it returns.
    void Cancel();

    const TInputFrameInfo &Info() const { return FInfo; }
    AVPixelFormat PixelFormat() const { return FPixelFormat; }
    AVRational FrameRate() const { return FFrameRate; }
    // The picture's top row and the distance to the next row down (negative: the buffer is
    // stored bottom-up).
    const uint8_t *TopRow() const;
    int Stride() const { return -FInfo.BytesPerLine; }

private:
    int Request(std::stop_token stop);

    std::shared_ptr<TFrameAdapterCore> FCore;
    AVPixelFormat FPixelFormat;
    AVRational FFrameRate;
    bool FRealTime;
    TInputFrameInfo FInfo;
    std::vector<uint8_t> FBuffer;

    int64_t FCounterBase = 0;     // last accepted stamp, or 0
    int64_t FFramesSinceBase = 0; // frames since then

    std::mutex FRequestLock; // guards the two fields below
    bool FCancelled = false;
    std::shared_ptr<TFrameRequest> FPending;
};
