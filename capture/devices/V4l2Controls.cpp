#include "capture/devices/V4l2Controls.h"

#include <cstring>
#include <fcntl.h>
#include <linux/videodev2.h>

namespace {

QString TextOf(const std::uint8_t *text, std::size_t size)
{
    const char *c = reinterpret_cast<const char *>(text);
    return QString::fromUtf8(c, qsizetype(strnlen(c, size)));
}

} // namespace

TV4l2Controls::TV4l2Controls(std::shared_ptr<TV4l2System> system, const QString &node)
    : FSystem(std::move(system))
    , FFd(*FSystem, node, O_RDWR | O_NONBLOCK)
{}

std::optional<TCameraControlInfo> TV4l2Controls::QueryOne(std::uint32_t id)
{
    v4l2_queryctrl q{};
    q.id = id;
    if (!FFd.IsOpen() || !FFd.Ioctl(VIDIOC_QUERYCTRL, &q) || (q.flags & V4L2_CTRL_FLAG_DISABLED))
        return std::nullopt;
    TCameraControlInfo info;
    info.Id = q.id;
    info.Name = TextOf(q.name, sizeof q.name);
    switch (q.type) {
    case V4L2_CTRL_TYPE_INTEGER:
        info.Type = cctInteger;
        break;
    case V4L2_CTRL_TYPE_BOOLEAN:
        info.Type = cctBoolean;
        break;
    case V4L2_CTRL_TYPE_MENU:
    case V4L2_CTRL_TYPE_INTEGER_MENU:
        info.Type = cctMenu;
        break;
    case V4L2_CTRL_TYPE_BUTTON:
        info.Type = cctButton;
        break;
    default:
        return std::nullopt; // 64-bit, string, compound and class entries
    }
    info.Minimum = q.minimum;
    info.Maximum = q.maximum;
    info.Step = std::max(q.step, 1);
    info.Default = q.default_value;
    info.ReadOnly = q.flags & V4L2_CTRL_FLAG_READ_ONLY;
    info.Inactive = q.flags & V4L2_CTRL_FLAG_INACTIVE;
    if (info.Type == cctMenu) {
        for (int i = std::max(q.minimum, 0); i <= q.maximum && i < q.minimum + 256; ++i) {
            v4l2_querymenu m{};
            m.id = q.id;
            m.index = std::uint32_t(i);
            if (!FFd.Ioctl(VIDIOC_QUERYMENU, &m))
                continue; // a hole in the menu
            info.Menu.push_back({i, q.type == V4L2_CTRL_TYPE_INTEGER_MENU
                                        ? QString::number(m.value)
                                        : TextOf(m.name, sizeof m.name)});
        }
    }
    return info;
}

std::vector<TCameraControlInfo> TV4l2Controls::Query()
{
    std::vector<TCameraControlInfo> controls;
    v4l2_queryctrl q{};
    q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
    while (FFd.IsOpen() && FFd.Ioctl(VIDIOC_QUERYCTRL, &q) && controls.size() < 1024) {
        if (std::optional<TCameraControlInfo> info = QueryOne(q.id))
            controls.push_back(std::move(*info));
        q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    }
    return controls;
}

std::optional<int> TV4l2Controls::Get(std::uint32_t id)
{
    v4l2_control c{};
    c.id = id;
    if (!FFd.IsOpen() || !FFd.Ioctl(VIDIOC_G_CTRL, &c))
        return std::nullopt;
    return c.value;
}

bool TV4l2Controls::Set(std::uint32_t id, int value)
{
    v4l2_control c{};
    c.id = id;
    c.value = value;
    return FFd.IsOpen() && FFd.Ioctl(VIDIOC_S_CTRL, &c);
}
