#include "support/CameraDiscovery.h"

#include <algorithm>

TCameraList CameraList;
QString SelectedCameraName;
int SelectedCameraIndex = -1;
QString SelectedCameraPath;

void InitCameraList()
{
    ClearSelectedCamera();
    CameraList.clear();
    GetCameraList(CameraList);
}

void GetCameraList(TCameraList &AList)
{
    EnumCameraDevices(QLatin1String(CameraFilter), AList);
}

void EnumCameraDevices(const QString &AFilter, TCameraList &AList)
{
    EnumCameraDevices(AFilter, AList, DefaultDeviceProviders());
}

void EnumCameraDevices(const QString &AFilter, TCameraList &AList,
                       const std::vector<TDeviceProviderPtr> &AProviders)
{
    int index = 0;
    for (const TCaptureDevicePtr &device : EnumerateDevices(AProviders)) {
        const QString path = device->DevicePath();
        const QString name = device->FriendlyName();
        if (!path.isEmpty() && path.contains(AFilter, Qt::CaseInsensitive) &&
            !name.trimmed().isEmpty())
            AList.append({name, index, path});
        ++index; // every device counts, matching or not
    }
}

void SetSelectedCamera(const TCameraEntry &AEntry)
{
    SelectedCameraName = AEntry.Name;
    SelectedCameraIndex = AEntry.DeviceIndex;
    SelectedCameraPath = AEntry.DevicePath;
}

void ClearSelectedCamera()
{
    SelectedCameraName.clear();
    SelectedCameraIndex = -1;
    SelectedCameraPath.clear();
}

const TCameraEntry *FindSelectedCamera(const TCameraList &AList)
{
    if (SelectedCameraPath.isEmpty())
        return nullptr;
    const auto it = std::find_if(AList.begin(), AList.end(), [](const TCameraEntry &e) {
        return e.DevicePath == SelectedCameraPath;
    });
    return it == AList.end() ? nullptr : &*it;
}

bool SameCameras(const TCameraList &AFirst, const TCameraList &ASecond)
{
    return std::equal(
        AFirst.begin(), AFirst.end(), ASecond.begin(), ASecond.end(),
        [](const TCameraEntry &a, const TCameraEntry &b) { return a.DevicePath == b.DevicePath; });
}
