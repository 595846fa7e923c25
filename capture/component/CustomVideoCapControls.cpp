// The capture component's camera controls: the focus range of the bound
// camera, and the dialogs of its controls and capture modes. The controls
// themselves are the camera binding's (TCameraBinding).
#include "capture/component/CameraControlsDialog.h"
#include "capture/component/CaptureModesDialog.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/devices/ModeText.h"

void TCustomVideoCap::GetFocusRange(int &Amin, int &Amax, int &Avalue)
{
    if (const std::optional<TFocusRange> range = FBinding.FocusRange()) {
        Amin = range->Minimum;
        Amax = range->Maximum;
        Avalue = range->Value;
    }
}

void TCustomVideoCap::ShowDialog_Filter(QWidget *AOwner)
{
    if (!FBinding.Controls())
        return;
    TCameraControlsDialog dialog(FBinding.Controls(), FBinding.DeviceName(), AOwner);
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
        TCaptureModesDialog dialog(sizes, ModeText(CaptureMode()), AOwner);
        dialog.move(AOwner ? AOwner->mapToGlobal(QPoint(30, 30)) : QPoint(30, 30));
        if (dialog.exec() == QDialog::Accepted && dialog.ChosenIndex() >= 0) {
            const TVCapMode mode = OnGetVCapModes(dialog.ChosenIndex());
            ApplyCapability(dialog.ChosenIndex());
            FBinding.SetCodec(TCameraBinding::CodecOf(mode));
        }
    }
    StartPreview(); // in the mode chosen, or the one before
}
