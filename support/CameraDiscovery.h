#pragma once

// Camera discovery: the document cameras attached, the program-wide camera
// list and the user's choice among them. Runs on the UI thread.
//
// Discovery walks the very enumeration the capture component uses (the
// device providers: V4L2 nodes, then simulated cameras), so a device index
// means the same device in both. The index counts every device of that
// enumeration, matching or not. Devices come and go, and an index can then
// name another device: the chosen camera is bound by its device path
// (SelectedCameraPath), the index is kept for display and compatibility.

#include "capture/devices/CaptureDevice.h"

#include <QList>
#include <QString>
#include <vector>

struct TCameraEntry
{
    QString Name;         // the camera's friendly name
    int DeviceIndex = -1; // its position in the device enumeration
    QString DevicePath;   // its identity: what a binding looks for
};

using TCameraList = QList<TCameraEntry>;

// The text a device path must contain for the device to count as a document
// camera (compared without regard to case).
inline constexpr const char *CameraFilter = "PID_2003";

// The cameras found at start-up or accepted after a device change.
extern TCameraList CameraList;
// The chosen camera: empty, -1 and empty while none is chosen.
extern QString SelectedCameraName;
extern int SelectedCameraIndex;
extern QString SelectedCameraPath;

// Start-up: clears the choice, then fills CameraList afresh.
void InitCameraList();
// Appends the document cameras to AList (it is not cleared first).
void GetCameraList(TCameraList &AList);
// Appends the devices whose path contains AFilter (any case) and that have a
// friendly name. The providers default to the capture component's own.
void EnumCameraDevices(const QString &AFilter, TCameraList &AList);
void EnumCameraDevices(const QString &AFilter, TCameraList &AList,
                       const std::vector<TDeviceProviderPtr> &AProviders);

// Makes AEntry the chosen camera.
void SetSelectedCamera(const TCameraEntry &AEntry);
// No camera chosen.
void ClearSelectedCamera();
// The entry of AList with the chosen camera's device path; null when the
// chosen camera is not in it.
const TCameraEntry *FindSelectedCamera(const TCameraList &AList);
// True when both lists name the same devices in the same order. Device
// paths decide: a camera swapped for another leaves the count equal and is
// still a change.
bool SameCameras(const TCameraList &AFirst, const TCameraList &ASecond);
