#pragma once

// The recording clock: the one time base of a recording. Frame stamps, the
// time the window shows while recording, the sound's pace and every wait of
// the recording code read it, so they cannot drift apart.
//
// It is the monotonic clock: setting the system's time during a recording
// neither stalls the stamps nor fills the gap with one repeated picture.

#include "encoding/FrameInputAdapter.h"

#include <chrono>
#include <cstdint>
#include <optional>

class TRecordClock
{
public:
    using TClock = std::chrono::steady_clock;

    static TClock::time_point Now() { return TClock::now(); }
    // Milliseconds of the clock, for deadlines.
    static std::int64_t NowMs();

    // The next frame request starts the clock again (as the first request of
    // every encode does).
    void Reset() { FStart.reset(); }
    bool Started() const { return FStart.has_value(); }

    // A frame request's stamp, in microseconds since the recording's start.
    // The first request served starts the clock at the frame input's default
    // stamp (0 for an encode's first frame; later when earlier requests were
    // not served), so the stamps begin where the frame input's count stands. The time
    // is written into info.TimeStamp when the frame input takes it (it grows);
    // otherwise the default stays. The result is the stamp the frame will
    // carry in the file, which is what the window must show.
    std::int64_t StampFrame(TInputFrameInfo &info) { return StampFrame(info, Now()); }
    std::int64_t StampFrame(TInputFrameInfo &info, TClock::time_point now);

private:
    std::optional<TClock::time_point> FStart;
};
