#include "capture/devices/V4l2Provider.h"

#include "capture/devices/CaptureLog.h"
#include "capture/devices/GstHandles.h"
#include "capture/devices/ModeText.h"
#include "capture/devices/SnapshotButton.h"
#include "capture/devices/V4l2Controls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/videodev2.h>

namespace {

// A frame interval (seconds as a fraction) in 100-nanosecond units, as whole
// units; 0 when it is not a positive time.
std::int64_t Duration100ns(const v4l2_fract &f)
{
    if (f.numerator == 0 || f.denominator == 0)
        return 0;
    return std::int64_t(10'000'000) * f.numerator / f.denominator;
}

double RateOf(const v4l2_fract &f)
{
    const std::int64_t d = Duration100ns(f);
    return d > 0 ? 10'000'000.0 / double(d) : 0.0;
}

QString CardName(const v4l2_capability &cap)
{
    const char *card = reinterpret_cast<const char *>(cap.card);
    return QString::fromUtf8(card, qsizetype(strnlen(card, sizeof cap.card)));
}

QString ReadSysfsText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).trimmed();
}

class TV4l2Device final : public TCaptureDevice
{
public:
    TV4l2Device(std::shared_ptr<TV4l2System> sys, QString node, QString name, QString path,
                v4l2_buf_type type)
        : FSys(std::move(sys))
        , FNode(std::move(node))
        , FName(std::move(name))
        , FPath(std::move(path))
        , FType(type)
    {}

    QString FriendlyName() const override { return FName; }
    QString DevicePath() const override { return FPath; }
    std::vector<TDeviceMode> ReadModes() override;
    TDeviceMode ReadCurrentFormat() override;
    GstElement *CreateSource(const char *name) override;
    bool ApplyMode(GstElement *source, const TDeviceMode &mode) override;
    bool Open(GstElement *source) override;
    int OpenSnapshotButton() override;
    TCameraControlsPtr OpenControls() override
    {
        auto controls = std::make_shared<TV4l2Controls>(FSys, FNode);
        return controls->IsOpen() ? controls : nullptr;
    }

private:
    void AddModes(const TV4l2Fd &fd, std::uint32_t pixfmt, int w, int h,
                  std::vector<TDeviceMode> &out) const;

    std::shared_ptr<TV4l2System> FSys;
    QString FNode, FName, FPath;
    v4l2_buf_type FType;
};

void TV4l2Device::AddModes(const TV4l2Fd &fd, std::uint32_t pixfmt, int w, int h,
                           std::vector<TDeviceMode> &out) const
{
    TDeviceMode m;
    m.Mode.MediaType = MEDIATYPE_Video;
    m.Mode.MediaSubType = pixfmt;
    m.Mode.Width = w;
    m.Mode.Height = h;
    m.Mode.BitCount = BitCountOf(pixfmt);

    // The shortest interval is the mode's default: cameras list it first and
    // start at it.
    std::vector<v4l2_fract> intervals;
    v4l2_frmivalenum iv{};
    iv.pixel_format = pixfmt;
    iv.width = std::uint32_t(w);
    iv.height = std::uint32_t(h);
    if (fd.Ioctl(VIDIOC_ENUM_FRAMEINTERVALS, &iv)) {
        if (iv.type == V4L2_FRMIVAL_TYPE_DISCRETE) {
            do {
                intervals.push_back(iv.discrete);
                ++iv.index;
            } while (iv.index < 1000 && fd.Ioctl(VIDIOC_ENUM_FRAMEINTERVALS, &iv));
        } else {
            intervals.push_back(iv.stepwise.min);
            intervals.push_back(iv.stepwise.max);
        }
    }
    const auto shorter = [](const v4l2_fract &a, const v4l2_fract &b) {
        return Duration100ns(a) < Duration100ns(b);
    };
    std::erase_if(intervals, [](const v4l2_fract &f) { return Duration100ns(f) <= 0; });
    if (!intervals.empty()) {
        const v4l2_fract shortest = *std::min_element(intervals.begin(), intervals.end(), shorter);
        const v4l2_fract longest = *std::max_element(intervals.begin(), intervals.end(), shorter);
        m.Mode.FrameRate = RateOf(shortest);
        m.Mode.MaxFrameRate = RateOf(shortest);
        m.Mode.MinFrameRate = RateOf(longest);
        m.FpsNumerator = int(shortest.denominator);
        m.FpsDenominator = int(shortest.numerator);
    }
    out.push_back(m);
}

std::vector<TDeviceMode> TV4l2Device::ReadModes()
{
    std::vector<TDeviceMode> modes;
    TV4l2Fd fd(*FSys, FNode, O_RDWR | O_NONBLOCK);
    if (!fd.IsOpen()) {
        qCWarning(lcCapture) << "cannot open" << FNode << "to read its modes";
        return modes;
    }
    v4l2_fmtdesc fmt{};
    fmt.type = FType;
    for (; fmt.index < 256 && fd.Ioctl(VIDIOC_ENUM_FMT, &fmt); ++fmt.index) {
        v4l2_frmsizeenum fs{};
        fs.pixel_format = fmt.pixelformat;
        if (!fd.Ioctl(VIDIOC_ENUM_FRAMESIZES, &fs))
            continue;
        if (fs.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            do {
                AddModes(fd, fmt.pixelformat, int(fs.discrete.width), int(fs.discrete.height),
                         modes);
                ++fs.index;
            } while (fs.index < 1000 && fd.Ioctl(VIDIOC_ENUM_FRAMESIZES, &fs));
        } else {
            const auto &s = fs.stepwise;
            const bool continuous = fs.type == V4L2_FRMSIZE_TYPE_CONTINUOUS;
            const TSizeRange range{
                int(s.min_width),  int(s.max_width),  continuous ? 1 : int(s.step_width),
                int(s.min_height), int(s.max_height), continuous ? 1 : int(s.step_height)};
            for (const auto &[w, h] : SizesOfRange(range))
                AddModes(fd, fmt.pixelformat, w, h, modes);
        }
    }
    return modes;
}

TDeviceMode TV4l2Device::ReadCurrentFormat()
{
    TDeviceMode current;
    TV4l2Fd fd(*FSys, FNode, O_RDWR | O_NONBLOCK);
    v4l2_format f{};
    f.type = FType;
    if (!fd.IsOpen() || !fd.Ioctl(VIDIOC_G_FMT, &f))
        return current;
    const bool mplane = FType == V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE;
    const std::uint32_t pixfmt = mplane ? f.fmt.pix_mp.pixelformat : f.fmt.pix.pixelformat;
    const int w = int(mplane ? f.fmt.pix_mp.width : f.fmt.pix.width);
    const int h = int(mplane ? f.fmt.pix_mp.height : f.fmt.pix.height);
    current.Mode = {MEDIATYPE_Video, pixfmt, w, std::abs(h), BitCountOf(pixfmt), 0, 0, 0};
    // The frame rate the device runs at now, when it tells.
    v4l2_streamparm parm{};
    parm.type = FType;
    if (fd.Ioctl(VIDIOC_G_PARM, &parm) && (parm.parm.capture.capability & V4L2_CAP_TIMEPERFRAME) &&
        Duration100ns(parm.parm.capture.timeperframe) > 0) {
        current.FpsNumerator = int(parm.parm.capture.timeperframe.denominator);
        current.FpsDenominator = int(parm.parm.capture.timeperframe.numerator);
    }
    return current;
}

GstElement *TV4l2Device::CreateSource(const char *name)
{
    GstElement *bin = gst_bin_new(name);
    GstElement *src = gst_element_factory_make("v4l2src", "camera");
    GstElement *mode = gst_element_factory_make("capsfilter", "mode");
    if (!src || !mode) {
        qCWarning(lcCapture) << "v4l2src or capsfilter is missing";
        if (src)
            gst_object_unref(gst_object_ref_sink(src));
        if (mode)
            gst_object_unref(gst_object_ref_sink(mode));
        gst_object_unref(gst_object_ref_sink(bin));
        return nullptr;
    }
    g_object_set(src, "device", QFile::encodeName(FNode).constData(), nullptr);
    gst_bin_add_many(GST_BIN(bin), src, mode, nullptr);
    gst_element_link(src, mode);
    TGstRef<GstPad> pad = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(mode, "src"));
    gst_element_add_pad(bin, gst_ghost_pad_new("src", pad.get()));
    return bin;
}

bool TV4l2Device::ApplyMode(GstElement *source, const TDeviceMode &mode)
{
    TCapsPtr caps(ModeCaps(mode));
    TGstRef<GstElement> filter =
        TGstRef<GstElement>::Adopt(gst_bin_get_by_name(GST_BIN(source), "mode"));
    if (!caps || !filter)
        return false;
    g_object_set(filter.get(), "caps", caps.get(), nullptr);
    return true;
}

bool TV4l2Device::Open(GstElement *source)
{
    // v4l2src opens the device on the way to READY and then reports what the
    // device can deliver; through the mode filter that is empty when the
    // device refuses the mode.
    if (gst_element_set_state(source, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
        gst_element_set_state(source, GST_STATE_NULL);
        return false;
    }
    TGstRef<GstPad> pad = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(source, "src"));
    TCapsPtr caps(pad ? gst_pad_query_caps(pad.get(), nullptr) : nullptr);
    if (!caps || gst_caps_is_empty(caps.get())) {
        qCWarning(lcCapture) << FNode << "refuses the capture format";
        gst_element_set_state(source, GST_STATE_NULL);
        return false;
    }
    return true;
}

int TV4l2Device::OpenSnapshotButton()
{
    const QString node = TSnapshotButton::FindInputNode(FSys->SysfsRoot(), FSys->DevRoot(),
                                                        QFileInfo(FNode).fileName());
    if (node.isEmpty())
        return -1;
    const int fd = TSnapshotButton::OpenInputNode(node);
    if (fd < 0) {
        const int error = errno;
        // Input nodes are often readable only by the "input" group.
        qCInfo(lcCapture).noquote() << "the snapshot button of" << FName << "(" << node
                                    << ") cannot be read:" << std::strerror(error);
    }
    return fd;
}

} // namespace

TV4l2Provider::TV4l2Provider(std::shared_ptr<TV4l2System> system)
    : FSystem(std::move(system))
{}

QString TV4l2Provider::DevicePathOf(const QString &sysfsRoot, const QString &nodeName)
{
    const QString root = QFileInfo(sysfsRoot).canonicalFilePath();
    QString real =
        QFileInfo(sysfsRoot + QStringLiteral("/class/video4linux/") + nodeName).canonicalFilePath();
    if (real.isEmpty() || root.isEmpty() || !real.startsWith(root))
        return QStringLiteral("/sys/class/video4linux/") + nodeName;
    const QString sysPath = QStringLiteral("/sys") + real.mid(root.size());

    // The USB device is the nearest folder above the node with idVendor and
    // idProduct.
    for (QDir dir = QFileInfo(real).dir(); dir.absolutePath().size() > root.size();) {
        const QString vid = ReadSysfsText(dir.filePath(QStringLiteral("idVendor")));
        const QString pid = ReadSysfsText(dir.filePath(QStringLiteral("idProduct")));
        if (!vid.isEmpty() && !pid.isEmpty()) {
            bool okV = false, okP = false;
            const uint v = vid.toUInt(&okV, 16), p = pid.toUInt(&okP, 16);
            if (okV && okP) {
                const auto hex4 = [](uint n) {
                    return QStringLiteral("%1").arg(n, 4, 16, QChar(u'0')).toUpper();
                };
                return QStringLiteral("usb#VID_%1&PID_%2#%3").arg(hex4(v), hex4(p), sysPath);
            }
        }
        if (!dir.cdUp())
            break;
    }
    return sysPath;
}

std::vector<TCaptureDevicePtr> TV4l2Provider::Enumerate()
{
    std::vector<TCaptureDevicePtr> devices;
    const QString classDir = FSystem->SysfsRoot() + QStringLiteral("/class/video4linux");
    static const QRegularExpression videoNode(QStringLiteral("^video(\\d+)$"));
    std::vector<std::pair<int, QString>> nodes;
    for (const QString &name :
         QDir(classDir).entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot)) {
        const auto m = videoNode.match(name);
        if (m.hasMatch())
            nodes.emplace_back(m.captured(1).toInt(), name);
    }
    std::sort(nodes.begin(), nodes.end());

    for (const auto &[number, name] : nodes) {
        const QString node = QStringLiteral("/dev/") + name;
        TV4l2Fd fd(*FSystem, node, O_RDWR | O_NONBLOCK);
        v4l2_capability cap{};
        if (!fd.IsOpen() || !fd.Ioctl(VIDIOC_QUERYCAP, &cap))
            continue;
        const std::uint32_t caps =
            (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
        v4l2_buf_type type;
        if (caps & V4L2_CAP_VIDEO_CAPTURE)
            type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        else if (caps & V4L2_CAP_VIDEO_CAPTURE_MPLANE)
            type = V4L2_BUF_TYPE_VIDEO_CAPTURE_MPLANE;
        else
            continue; // metadata, output or radio nodes
        devices.push_back(std::make_shared<TV4l2Device>(
            FSystem, node, CardName(cap), DevicePathOf(FSystem->SysfsRoot(), name), type));
    }
    return devices;
}

std::vector<std::pair<int, int>> SizesOfRange(const TSizeRange &r)
{
    static constexpr std::pair<int, int> Common[] = {
        {3840, 2160}, {3264, 2448}, {2592, 1944}, {2560, 1440}, {2048, 1536}, {1920, 1080},
        {1600, 1200}, {1280, 1024}, {1280, 960},  {1280, 720},  {1024, 768},  {800, 600},
        {640, 480},   {352, 288},   {320, 240},   {176, 144},   {160, 120},
    };
    std::vector<std::pair<int, int>> sizes;
    if (r.MaxWidth <= 0 || r.MaxHeight <= 0)
        return sizes;
    sizes.emplace_back(r.MaxWidth, r.MaxHeight);
    const auto fits = [](int v, int lo, int hi, int step) {
        return v >= lo && v <= hi && (step <= 1 || (v - lo) % step == 0);
    };
    for (const auto &[w, h] : Common) {
        if (fits(w, r.MinWidth, r.MaxWidth, r.StepWidth) &&
            fits(h, r.MinHeight, r.MaxHeight, r.StepHeight) &&
            std::find(sizes.begin(), sizes.end(), std::pair(w, h)) == sizes.end())
            sizes.emplace_back(w, h);
    }
    return sizes;
}
