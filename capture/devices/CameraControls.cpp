#include "capture/devices/CameraControls.h"

#include <algorithm>
#include <linux/videodev2.h>

std::uint32_t ControlId(TCameraControl control)
{
    switch (control) {
    case ccBrightness:
        return V4L2_CID_BRIGHTNESS;
    case ccContrast:
        return V4L2_CID_CONTRAST;
    case ccHue:
        return V4L2_CID_HUE;
    case ccSaturation:
        return V4L2_CID_SATURATION;
    case ccSharpness:
        return V4L2_CID_SHARPNESS;
    case ccGamma:
        return V4L2_CID_GAMMA;
    case ccBacklight:
        return V4L2_CID_BACKLIGHT_COMPENSATION;
    case ccRoll:
#ifdef V4L2_CID_ROLL_ABSOLUTE
        return V4L2_CID_ROLL_ABSOLUTE;
#else
        return 0; // no such V4L2 control here: roll is absent on every camera
#endif
    case ccFocus:
        return V4L2_CID_FOCUS_ABSOLUTE;
    }
    return 0;
}

int FitControlValue(const TCameraControlInfo &info, std::int64_t value)
{
    const std::int64_t lo = info.Minimum;
    const std::int64_t hi = std::max<std::int64_t>(info.Maximum, lo);
    const std::int64_t step = std::max(info.Step, 1);
    const std::int64_t v = std::clamp(value, lo, hi);
    std::int64_t fitted = lo + (v - lo + step / 2) / step * step;
    if (fitted > hi)
        fitted -= step;
    return int(std::max(fitted, lo));
}

std::optional<int> WriteControl(TCameraControls &controls, std::uint32_t id, std::int64_t value)
{
    const std::optional<TCameraControlInfo> info = controls.QueryOne(id);
    if (!info || info->ReadOnly)
        return std::nullopt;
    const int fitted = FitControlValue(*info, value);
    if (!controls.Set(id, fitted))
        return std::nullopt;
    return fitted;
}
