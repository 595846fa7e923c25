#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// What a frame request tells its handler about the frame it asks for.
struct TInputFrameInfo
{
    // Time stamp of the requested frame in microseconds. Holds the frame input's default
    // on entry; the handler may replace it (accepted only when it grows).
    int64_t TimeStamp = 0;
    // Time stamp given to the previous frame; INT64_MIN before the first.
    int64_t LastTimeStamp = INT64_MIN;
    int FrameNumber = 1; // 1 for the first frame, then one more per frame
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 24;
    int BytesPerLine = 0;  // Width x bytes per pixel, rounded up to a multiple of 4
    int BytesPerFrame = 0; // BytesPerLine x Height
    int PixelFormat = 0;   // the FFmpeg pixel format (AVPixelFormat) of the frames
};

// Whether the frame input takes `stamp` for the requested frame: only a stamp
// greater than the previous frame's; any other keeps the default.
inline bool FrameStampAccepted(const TInputFrameInfo &info, int64_t stamp)
{
    return stamp > info.LastTimeStamp;
}

class QObject;

struct TFrameAdapterCore;

// The object from which a frame input ("-f frameinput") pulls its pictures. Its input
// name, the text given to TFFEncoder::AddTask, is InputName(): the adapter's address as
// a decimal integer.
//
// For every frame the encoder's worker raises OnReadFrameBMP with the frame buffer (a
// bottom-up picture, rows of BytesPerLine bytes, lowest address first, zero-filled at the
// start of an encode and kept between requests) and the frame info.
//
// With TriggerEventInMainThread (the default) the handler runs on the thread that created
// the adapter (the main thread, whose event loop serves the requests) while the worker
// waits. The worker never waits longer than RequestTimeout, and once the encode is stopped
// no request is served any more: such a frame keeps the previous picture and the default
// time stamp.
//
// The handler returns 0; AVERROR_EOF when it has no more pictures, which ends the encode
// normally; any other negative value ends it as a failure.
//
// Destroying the adapter detaches it: a running handler call is waited for, later
// requests keep the previous picture. The adapter must not be destroyed from its own
// handler.
class TFrameInputAdapter
{
public:
    using TReadFrameBMPEvent =
        std::function<int(TFrameInputAdapter *Sender, uint8_t *AData, TInputFrameInfo *AFrameInfo)>;

    TFrameInputAdapter();
    ~TFrameInputAdapter();
    TFrameInputAdapter(const TFrameInputAdapter &) = delete;
    TFrameInputAdapter &operator=(const TFrameInputAdapter &) = delete;

    void SetOnReadFrameBMP(TReadFrameBMPEvent handler);

    bool TriggerEventInMainThread() const;
    void SetTriggerEventInMainThread(bool value);

    // How long the worker waits for the main thread to serve a request (500 ms).
    std::chrono::milliseconds RequestTimeout() const;
    void SetRequestTimeout(std::chrono::milliseconds value);

    // A live source (the default): the worker asks for frames at the input's nominal rate in
    // real time. When false it asks as fast as the encoder takes them (for encoding
    // prepared pictures).
    bool RealTime() const;
    void SetRealTime(bool value);

    std::string InputName() const;

    // The adapter named by an input name, or null when no adapter of that name lives.
    static std::shared_ptr<TFrameAdapterCore> Find(const std::string &inputName);

private:
    std::shared_ptr<TFrameAdapterCore> FCore;
    std::unique_ptr<QObject> FReceiver; // serves requests on the adapter's thread
};
