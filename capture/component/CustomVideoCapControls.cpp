// The capture component's camera controls: the picture controls and focus
// of the bound camera, and the dialogs of its controls and capture modes.
#include "capture/component/CameraControlsDialog.h"
#include "capture/component/CaptureModesDialog.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/devices/CaptureLog.h"
#include "capture/devices/ModeText.h"

#include <linux/videodev2.h>

namespace {
// Where the one-shot autofocus starts from.
constexpr int AutofocusStart = 250;
} // namespace

std::optional<int> TCustomVideoCap::ControlValue(TCameraControl AControl) const
{
    return FControls ? FControls->Get(ControlId(AControl)) : std::nullopt;
}

std::optional<int> TCustomVideoCap::SetControlValue(TCameraControl AControl, int Value)
{
    if (AControl == ccFocus) {
        ManualFocus(Value);
        return ControlValue(ccFocus);
    }
    return FControls ? WriteControl(*FControls, ControlId(AControl), Value) : std::nullopt;
}

void TCustomVideoCap::ManualFocus(int Value)
{
    if (!FControls)
        return;
    const auto range = FControls->QueryOne(V4L2_CID_FOCUS_ABSOLUTE);
    if (!range || Value < range->Minimum || Value > range->Maximum)
        return;
    // Manual mode first: a camera ignores the position while it focuses
    // by itself.
    if (FControls->QueryOne(V4L2_CID_FOCUS_AUTO))
        FControls->Set(V4L2_CID_FOCUS_AUTO, 0);
    WriteControl(*FControls, V4L2_CID_FOCUS_ABSOLUTE, Value);
}

void TCustomVideoCap::Autofocus(unsigned /*ADelay*/)
{
    if (!FControls)
        return;
    if (FControls->QueryOne(V4L2_CID_FOCUS_AUTO))
        FControls->Set(V4L2_CID_FOCUS_AUTO, 0);
    WriteControl(*FControls, V4L2_CID_FOCUS_ABSOLUTE, AutofocusStart);
    if (FControls->QueryOne(V4L2_CID_FOCUS_AUTO))
        FControls->Set(V4L2_CID_FOCUS_AUTO, 1);
}

void TCustomVideoCap::GetFocusRange(int &Amin, int &Amax, int &Avalue)
{
    const auto range = FControls ? FControls->QueryOne(V4L2_CID_FOCUS_ABSOLUTE) : std::nullopt;
    if (!range)
        return;
    Amin = range->Minimum;
    Amax = range->Maximum;
    Avalue = range->Default;
    if (const auto value = FControls->Get(V4L2_CID_FOCUS_ABSOLUTE))
        Avalue = *value;
    else
        qCWarning(lcCapture) << "Get Focus Range Error";
}

void TCustomVideoCap::ShowDialog_Filter(QWidget *AOwner)
{
    if (!FControls)
        return;
    TCameraControlsDialog dialog(FControls, FVideoDeviceName, AOwner);
    dialog.move(AOwner ? AOwner->mapToGlobal(QPoint(30, 30)) : QPoint(30, 30));
    dialog.exec();
}

void TCustomVideoCap::ShowDialog_Pin(QWidget *AOwner)
{
    if (!FCaptureGraph->Source())
        return;
    StopPreview();
    const std::vector<TVideoSizeItem> sizes = GetVideoSize();
    if (!sizes.empty()) {
        TCaptureModesDialog dialog(sizes, ModeText(FCaptureGraph->CurrentFormat().Mode), AOwner);
        dialog.move(AOwner ? AOwner->mapToGlobal(QPoint(30, 30)) : QPoint(30, 30));
        if (dialog.exec() == QDialog::Accepted && dialog.ChosenIndex() >= 0) {
            const TVCapMode mode = OnGetVCapModes(dialog.ChosenIndex());
            ApplyCapability(dialog.ChosenIndex());
            // The codec as setVideoSize takes it ("MJPG", "YUY2").
            const QString suffix = ModeSuffix(mode.MediaSubType);
            FVideoCodec =
                suffix.isEmpty() ? FourCCText(mode.MediaSubType) : suffix.mid(1).chopped(1);
        }
    }
    StartPreview(); // in the mode chosen, or the one before
}
