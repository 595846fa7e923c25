#pragma once

// Choosing the camera among CameraList (see support/CameraDiscovery.h).

class QWidget;

// Sets the chosen camera from CameraList: nothing changes when it is empty;
// a single camera is chosen without asking; with two or more the camera
// dialog asks, centred over AParent when that is shown, else on the screen.
void SelectCamera(QWidget *AParent = nullptr);
