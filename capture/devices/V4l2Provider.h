#pragma once

// Cameras of this machine through V4L2: every /dev/video* node that can
// capture video, in node-number order.

#include "capture/devices/CaptureDevice.h"
#include "capture/devices/V4l2System.h"

class TV4l2Provider final : public TDeviceProvider
{
public:
    explicit TV4l2Provider(std::shared_ptr<TV4l2System> system = TV4l2System::Real());
    std::vector<TCaptureDevicePtr> Enumerate() override;

    // "usb#VID_xxxx&PID_xxxx#<sysfs path>" of a video4linux node ("video0"),
    // from its USB parent in sysfs; the sysfs path alone without one.
    static QString DevicePathOf(const QString &sysfsRoot, const QString &nodeName);

private:
    std::shared_ptr<TV4l2System> FSystem;
};

// The sizes listed for a stepwise or continuous size range: the largest,
// then the common sizes that fit the range, largest first.
struct TSizeRange
{
    int MinWidth, MaxWidth, StepWidth;
    int MinHeight, MaxHeight, StepHeight;
};
std::vector<std::pair<int, int>> SizesOfRange(const TSizeRange &range);
