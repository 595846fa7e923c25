#include "encoding/RecordClock.h"

std::int64_t TRecordClock::NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Now().time_since_epoch()).count();
}

std::int64_t TRecordClock::StampFrame(TInputFrameInfo &info, TClock::time_point now)
{
    if (!FStart || info.LastTimeStamp == INT64_MIN)
        FStart = now - std::chrono::microseconds(info.TimeStamp);
    const std::int64_t stamp =
        std::chrono::duration_cast<std::chrono::microseconds>(now - *FStart).count();
    if (FrameStampAccepted(info, stamp))
        info.TimeStamp = stamp;
    return info.TimeStamp;
}
