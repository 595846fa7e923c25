// The main window and the cameras: choosing one at start, binding it by its
// device path, following cameras that come and go.
#include "app/CameraSelect.h"
#include "app/MainForm.h"
#include "capture/component/CustomVideoCap.h"
#include "support/CameraDiscovery.h"
#include "support/Language.h"

bool TMainForm::BindSelectableCamera()
{
    if (!CameraList.isEmpty())
        SelectCamera(nullptr);
    return SelectedCameraIndex != -1;
}

int TMainForm::CameraCount() const
{
    return int(CameraList.size());
}

bool TMainForm::BindCamera()
{
    const bool bound =
        !SelectedCameraPath.isEmpty() && FVideoCap->SetVideoDevicePath(SelectedCameraPath);
    return bound && !FVideoCap->GetVideodeviceList().isEmpty();
}

bool TMainForm::ChooseCamera()
{
    TCameraList list;
    GetCameraList(list);
    if (list.size() <= 1)
        return false;
    CameraList = list;
    SelectCamera(this);
    return true;
}

void TMainForm::UsbChanged()
{
    TCameraList list;
    GetCameraList(list);
    if (SameCameras(list, CameraList))
        return; // an unrelated device
    const TCameraEntry *chosen = FindSelectedCamera(list);
    if (!chosen) {
        // Another camera of the same model (its name holds the chosen
        // camera's name) is taken instead.
        for (const TCameraEntry &entry : list)
            if (!SelectedCameraName.isEmpty() &&
                entry.Name.toUpper().contains(SelectedCameraName.toUpper()))
                chosen = &entry;
    }
    if (chosen) {
        CameraList = list;
        SelectCamera(this);
        PostOpenCamera();
        return;
    }
    // The chosen camera is gone: a recording is finished before the message,
    // and the program ends once its file is complete.
    if (FVideoCap && FVideoCap->Recording())
        FVideoCap->StopRecord();
    ShowInformation(Language->Msg.m_DeviceNotFound);
    TerminateSelf();
}
