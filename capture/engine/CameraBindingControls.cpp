// The bound camera's picture controls and its focus.
#include "capture/devices/CaptureLog.h"
#include "capture/engine/CameraBinding.h"

#include <linux/videodev2.h>

namespace {
// Where the one-shot autofocus starts from.
constexpr int AutofocusStart = 250;
} // namespace

std::optional<int> TCameraBinding::ControlValue(TCameraControl control) const
{
    return FControls ? FControls->Get(ControlId(control)) : std::nullopt;
}

std::optional<int> TCameraBinding::SetControlValue(TCameraControl control, int value)
{
    if (control == ccFocus) {
        ManualFocus(value);
        return ControlValue(ccFocus);
    }
    return FControls ? WriteControl(*FControls, ControlId(control), value) : std::nullopt;
}

void TCameraBinding::ManualFocus(int value)
{
    if (!FControls)
        return;
    const auto range = FControls->QueryOne(V4L2_CID_FOCUS_ABSOLUTE);
    if (!range || value < range->Minimum || value > range->Maximum)
        return;
    // Manual mode first: a camera ignores the position while it focuses
    // by itself.
    if (FControls->QueryOne(V4L2_CID_FOCUS_AUTO))
        FControls->Set(V4L2_CID_FOCUS_AUTO, 0);
    WriteControl(*FControls, V4L2_CID_FOCUS_ABSOLUTE, value);
}

void TCameraBinding::Autofocus()
{
    if (!FControls)
        return;
    if (FControls->QueryOne(V4L2_CID_FOCUS_AUTO))
        FControls->Set(V4L2_CID_FOCUS_AUTO, 0);
    WriteControl(*FControls, V4L2_CID_FOCUS_ABSOLUTE, AutofocusStart);
    if (FControls->QueryOne(V4L2_CID_FOCUS_AUTO))
        FControls->Set(V4L2_CID_FOCUS_AUTO, 1);
}

std::optional<TFocusRange> TCameraBinding::FocusRange() const
{
    const auto range = FControls ? FControls->QueryOne(V4L2_CID_FOCUS_ABSOLUTE) : std::nullopt;
    if (!range)
        return std::nullopt;
    TFocusRange focus{range->Minimum, range->Maximum, range->Default};
    if (const auto value = FControls->Get(V4L2_CID_FOCUS_ABSOLUTE))
        focus.Value = *value;
    else
        qCWarning(lcCapture) << "Get Focus Range Error";
    return focus;
}
