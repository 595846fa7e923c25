// The main window and the cameras: which camera is bound, how many there
// are, the brightness applied once the picture runs.
#include "app/MainForm.h"
#include "capture/CustomVideoCap.h"
#include "support/Config.h"

bool TMainForm::BindSelectableCamera()
{
    return true;
}

int TMainForm::CameraCount() const
{
    return FVideoCap ? FVideoCap->VideoDeviceCount() : 0;
}

void TMainForm::BindCamera()
{
    for (int i = 0; i < FVideoCap->VideoDeviceCount(); ++i) {
        FVideoCap->SetVideoDeviceIndex(i);
        if (FVideoCap->VideoDevicePath().contains(QLatin1String("PID_2003"), Qt::CaseInsensitive))
            return;
    }
    if (FVideoCap->VideoDeviceCount() > 0)
        FVideoCap->SetVideoDeviceIndex(0);
}

bool TMainForm::ChooseCamera()
{
    return false;
}

void TMainForm::UsbChanged() {}

void TMainForm::ApplyBrightness() {}

TResolutionInfo TMainForm::ModeInUse() const
{
    TResolutionInfo mode{FVideoCap->VideoWidth(), FVideoCap->VideoHeight(),
                         FVideoCap->VideoCodec()};
    // VideoWidth and VideoHeight are the picture's after rotation.
    const auto rotation = FVideoCap->VideoRotate();
    if (rotation == vrt90 || rotation == vrt270)
        std::swap(mode.Width, mode.Height);
    return mode;
}
