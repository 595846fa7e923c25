#pragma once

extern "C" {
#include <libavutil/mathematics.h>
#include <libavutil/rational.h>
}

#include <algorithm>
#include <cstdint>

// Fits time-stamped pictures to a constant output rate. Output frame k lies at
// k / rate seconds after the first picture; a picture takes the output frames from the one
// nearest to its time stamp up to the one before the next picture's. So a picture is
// repeated when pictures come slower than the output rate and dropped when a later
// picture falls on the same output frame.
class TFrameRateFitter
{
public:
    // Output frames [First, First + Count) to be filled with one picture.
    struct TFill
    {
        int64_t First = 0;
        int64_t Count = 0;
    };

    explicit TFrameRateFitter(AVRational outputRate)
        : FRate(outputRate)
    {}

    // A picture with the time stamp pts (microseconds, growing). Returns the output frames
    // the previous picture fills; they are emitted before this picture becomes current.
    TFill Push(int64_t pts)
    {
        if (!FHavePicture) {
            FHavePicture = true;
            FOrigin = pts;
            FNext = FLastSlot = 0;
            return {};
        }
        const int64_t slot = av_rescale_rnd(pts - FOrigin, FRate.num, int64_t(1000000) * FRate.den,
                                            AV_ROUND_NEAR_INF);
        const TFill fill{FNext, std::max<int64_t>(0, slot - FNext)};
        FNext += fill.Count;
        FLastSlot = std::max(FLastSlot, slot);
        return fill;
    }

    // No more pictures: the output frames the last picture still fills (its own one).
    TFill Finish()
    {
        if (!FHavePicture)
            return {};
        const TFill fill{FNext, std::max<int64_t>(0, FLastSlot + 1 - FNext)};
        FNext += fill.Count;
        return fill;
    }

private:
    AVRational FRate;
    bool FHavePicture = false;
    int64_t FOrigin = 0;
    int64_t FNext = 0;
    int64_t FLastSlot = 0;
};
