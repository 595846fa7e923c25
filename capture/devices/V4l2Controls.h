#pragma once

// The controls of a V4L2 device node (VIDIOC_QUERYCTRL, VIDIOC_QUERYMENU,
// VIDIOC_G_CTRL, VIDIOC_S_CTRL) through its own handle on the node, beside
// the stream's: controls change while the picture runs.

#include "capture/devices/CameraControls.h"
#include "capture/devices/V4l2System.h"

class TV4l2Controls final : public TCameraControls
{
public:
    // Opens `node`; IsOpen() tells whether that worked.
    TV4l2Controls(std::shared_ptr<TV4l2System> system, const QString &node);
    bool IsOpen() const { return FFd.IsOpen(); }

    std::vector<TCameraControlInfo> Query() override;
    std::optional<TCameraControlInfo> QueryOne(std::uint32_t id) override;
    std::optional<int> Get(std::uint32_t id) override;
    bool Set(std::uint32_t id, int value) override;

private:
    std::shared_ptr<TV4l2System> FSystem;
    TV4l2Fd FFd;
};
