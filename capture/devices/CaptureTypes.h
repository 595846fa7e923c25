#pragma once

// Plain types shared by the capture component and its users.

#include <cstdint>
#include <functional>

class QImage;
class TCustomVideoCap;

// Rotation of the picture; stored as its ordinal in the configuration.
enum TVideoRotationType : std::uint8_t
{
    vrtNone = 0,
    vrt90 = 1,
    vrt180 = 2,
    vrt270 = 3,
    vrtFlipHorz = 4,
    vrtFlipVert = 5,
};

// A four-character code as V4L2 writes it ('M','J','P','G' -> "MJPG").
constexpr std::uint32_t FourCC(char a, char b, char c, char d)
{
    return std::uint32_t(std::uint8_t(a)) | (std::uint32_t(std::uint8_t(b)) << 8) |
           (std::uint32_t(std::uint8_t(c)) << 16) | (std::uint32_t(std::uint8_t(d)) << 24);
}

// Major type of every capture mode: video.
inline constexpr std::uint32_t MEDIATYPE_Video = FourCC('v', 'i', 'd', 's');

// One capture mode of a camera. MediaSubType is the V4L2 pixel format code
// (YUYV, MJPG, ...). A mode that cannot be read is all zeros.
struct TVCapMode
{
    std::uint32_t MediaType = 0;
    std::uint32_t MediaSubType = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t BitCount = 0;
    double FrameRate = 0;    // at the mode's default frame duration
    double MinFrameRate = 0; // at the longest frame interval
    double MaxFrameRate = 0; // at the shortest frame interval

    friend bool operator==(const TVCapMode &, const TVCapMode &) = default;
};

// Rectangle with exclusive Right and Bottom, as the component's events carry it.
struct TRect
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    std::int32_t Width() const { return Right - Left; }
    std::int32_t Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const TRect &, const TRect &) = default;
};

struct TPoint
{
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPoint &, const TPoint &) = default;
};

// What the grabber demands of the frames it receives. Anything other than
// pfDevice makes it ask for 24-bit BGR.
enum TPixelFormat : std::uint8_t
{
    pfDevice,
    pf24bit,
    pf32bit,
};

// Events of the component. Each is skipped when unassigned and is always
// raised on the thread that owns the component (the UI thread).
using TNotifyEvent = std::function<void(TCustomVideoCap *Sender)>;
using TOnCapturedEvent = std::function<void(TCustomVideoCap *Sender, const QImage &Image)>;
using TOnSelectionRect = std::function<void(TCustomVideoCap *Sender, const TRect &ARect)>;
using TOnRecording = std::function<void(TCustomVideoCap *Sender, std::int64_t ATimeStamp)>;
