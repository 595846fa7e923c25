#pragma once

// The picture controls of a simulated camera: the set a common USB webcam
// offers (brightness, contrast, saturation, hue, sharpness, gamma, backlight
// compensation, power line frequency, autofocus and manual focus), with
// their ranges, steps and defaults. Brightness, contrast, saturation and hue
// change the picture (BalanceOf); the others are only kept.

#include "capture/devices/CameraControls.h"

#include <atomic>
#include <map>
#include <mutex>

class TSimControlState
{
public:
    TSimControlState();

    std::vector<TCameraControlInfo> Query() const;
    std::optional<TCameraControlInfo> QueryOne(std::uint32_t id) const;
    std::optional<int> Get(std::uint32_t id) const;
    // As a driver: false for an unknown or read-only control or a value
    // outside the range (drivers answer ERANGE).
    bool Set(std::uint32_t id, int value);

    // The picture's colour balance for the current values, in the units of
    // GStreamer's videobalance: brightness -1..1, contrast and saturation
    // 0..2, hue -1..1.
    struct TBalance
    {
        double Brightness = 0, Contrast = 1, Saturation = 1, Hue = 0;
    };
    TBalance Balance() const;
    // Changes with every accepted write (any thread may read it).
    unsigned Generation() const { return FGeneration.load(std::memory_order_acquire); }

private:
    TCameraControlInfo Described(const TCameraControlInfo &info) const;

    mutable std::mutex FLock;
    std::vector<TCameraControlInfo> FInfos;
    std::map<std::uint32_t, int> FValues; // guarded by FLock
    std::atomic<unsigned> FGeneration{0};
};
