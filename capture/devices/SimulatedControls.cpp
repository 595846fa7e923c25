#include "capture/devices/SimulatedControls.h"

#include <algorithm>
#include <linux/videodev2.h>

namespace {

TCameraControlInfo Integer(std::uint32_t id, const char *name, int min, int max, int step, int def)
{
    TCameraControlInfo c;
    c.Id = id;
    c.Name = QString::fromLatin1(name);
    c.Minimum = min;
    c.Maximum = max;
    c.Step = step;
    c.Default = def;
    return c;
}

} // namespace

TSimControlState::TSimControlState()
{
    FInfos = {
        Integer(V4L2_CID_BRIGHTNESS, "Brightness", 0, 255, 1, 128),
        Integer(V4L2_CID_CONTRAST, "Contrast", 0, 255, 1, 128),
        Integer(V4L2_CID_SATURATION, "Saturation", 0, 255, 1, 128),
        Integer(V4L2_CID_HUE, "Hue", -180, 180, 1, 0),
        Integer(V4L2_CID_GAMMA, "Gamma", 72, 500, 1, 100),
        Integer(V4L2_CID_SHARPNESS, "Sharpness", 0, 255, 1, 128),
        Integer(V4L2_CID_BACKLIGHT_COMPENSATION, "Backlight Compensation", 0, 1, 1, 0),
        Integer(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency", 0, 2, 1, 2),
        Integer(V4L2_CID_FOCUS_AUTO, "Focus, Automatic Continuous", 0, 1, 1, 1),
        Integer(V4L2_CID_FOCUS_ABSOLUTE, "Focus (absolute)", 0, 250, 5, 0),
    };
    for (TCameraControlInfo &c : FInfos) {
        if (c.Id == V4L2_CID_POWER_LINE_FREQUENCY) {
            c.Type = cctMenu;
            c.Menu = {{0, QStringLiteral("Disabled")},
                      {1, QStringLiteral("50 Hz")},
                      {2, QStringLiteral("60 Hz")}};
        }
        if (c.Id == V4L2_CID_FOCUS_AUTO)
            c.Type = cctBoolean;
        FValues[c.Id] = c.Default;
    }
}

TCameraControlInfo TSimControlState::Described(const TCameraControlInfo &info) const
{
    TCameraControlInfo c = info;
    // Manual focus does nothing while the camera focuses by itself.
    if (c.Id == V4L2_CID_FOCUS_ABSOLUTE)
        c.Inactive = FValues.at(V4L2_CID_FOCUS_AUTO) != 0;
    return c;
}

std::vector<TCameraControlInfo> TSimControlState::Query() const
{
    std::lock_guard lock(FLock);
    std::vector<TCameraControlInfo> list;
    for (const TCameraControlInfo &c : FInfos)
        list.push_back(Described(c));
    return list;
}

std::optional<TCameraControlInfo> TSimControlState::QueryOne(std::uint32_t id) const
{
    std::lock_guard lock(FLock);
    const auto it = std::find_if(FInfos.begin(), FInfos.end(),
                                 [id](const TCameraControlInfo &c) { return c.Id == id; });
    if (it == FInfos.end())
        return std::nullopt;
    return Described(*it);
}

std::optional<int> TSimControlState::Get(std::uint32_t id) const
{
    std::lock_guard lock(FLock);
    const auto it = FValues.find(id);
    if (it == FValues.end())
        return std::nullopt;
    return it->second;
}

bool TSimControlState::Set(std::uint32_t id, int value)
{
    std::lock_guard lock(FLock);
    const auto info = std::find_if(FInfos.begin(), FInfos.end(),
                                   [id](const TCameraControlInfo &c) { return c.Id == id; });
    if (info == FInfos.end() || info->ReadOnly || value < info->Minimum || value > info->Maximum)
        return false;
    FValues[id] = value;
    FGeneration.fetch_add(1, std::memory_order_acq_rel);
    return true;
}

TSimControlState::TBalance TSimControlState::Balance() const
{
    std::lock_guard lock(FLock);
    TBalance b;
    b.Brightness = (FValues.at(V4L2_CID_BRIGHTNESS) - 128) / 128.0;
    b.Contrast = FValues.at(V4L2_CID_CONTRAST) / 128.0;
    b.Saturation = FValues.at(V4L2_CID_SATURATION) / 128.0;
    b.Hue = FValues.at(V4L2_CID_HUE) / 180.0;
    return b;
}
