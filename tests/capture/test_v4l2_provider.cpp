// The V4L2 provider behind its seam: recorded answers of a typical UVC
// document camera (MJPG and YUYV, PID 2003, with its metadata node), of a
// camera with only stepwise sizes, and a fake sysfs tree.
#include "CaptureTestSupport.h"
#include "TempHome.h"
#include "capture/devices/V4l2Provider.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <linux/videodev2.h>
#include <map>
#include <optional>
#include <tuple>

namespace {

constexpr std::uint32_t MJPG = V4L2_PIX_FMT_MJPEG;
constexpr std::uint32_t YUYV = V4L2_PIX_FMT_YUYV;

// What one device node answers.
struct TRecordedNode
{
    QString Card;
    std::uint32_t Capabilities = 0;
    std::uint32_t DeviceCaps = 0;
    std::vector<std::uint32_t> Formats;
    // Discrete sizes per format, or one stepwise range.
    std::map<std::uint32_t, std::vector<std::pair<int, int>>> Sizes;
    std::map<std::uint32_t, v4l2_frmsize_stepwise> SizeRange;
    // Discrete intervals per format and size, or one stepwise range.
    std::map<std::tuple<std::uint32_t, int, int>, std::vector<v4l2_fract>> Intervals;
    std::optional<v4l2_frmival_stepwise> IntervalRange;
    v4l2_pix_format Current{};
    v4l2_fract CurrentInterval{0, 0};
    bool Openable = true;
};

// Answers ioctls from recorded nodes; sysfs is a real folder tree.
class TRecordedV4l2 final : public TV4l2System
{
public:
    explicit TRecordedV4l2(QString root)
        : FRoot(std::move(root))
    {}

    std::map<QString, TRecordedNode> Nodes;
    int Opens = 0, Closes = 0;

    int Open(const QString &path, int) override
    {
        const auto it = Nodes.find(path);
        if (it == Nodes.end() || !it->second.Openable) {
            errno = it == Nodes.end() ? ENOENT : EACCES;
            return -1;
        }
        ++Opens;
        const int fd = FNextFd++;
        FOpen[fd] = &it->second;
        return fd;
    }
    int Close(int fd) override
    {
        ++Closes;
        return FOpen.erase(fd) ? 0 : -1;
    }
    QString SysfsRoot() const override { return FRoot; }

    int Ioctl(int fd, unsigned long request, void *arg) override
    {
        const auto it = FOpen.find(fd);
        if (it == FOpen.end()) {
            errno = EBADF;
            return -1;
        }
        const TRecordedNode &n = *it->second;
        switch (request) {
        case VIDIOC_QUERYCAP: {
            auto *cap = static_cast<v4l2_capability *>(arg);
            *cap = {};
            std::memcpy(cap->driver, "uvcvideo", 8);
            // A card name may fill all 32 bytes, without an ending zero.
            const QByteArray card = n.Card.toUtf8();
            std::memcpy(cap->card, card.constData(),
                        std::min<std::size_t>(card.size(), sizeof cap->card));
            cap->capabilities = n.Capabilities;
            cap->device_caps = n.DeviceCaps;
            return 0;
        }
        case VIDIOC_ENUM_FMT: {
            auto *f = static_cast<v4l2_fmtdesc *>(arg);
            if (f->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || f->index >= n.Formats.size())
                return Invalid();
            f->pixelformat = n.Formats[f->index];
            return 0;
        }
        case VIDIOC_ENUM_FRAMESIZES: {
            auto *s = static_cast<v4l2_frmsizeenum *>(arg);
            if (const auto r = n.SizeRange.find(s->pixel_format); r != n.SizeRange.end()) {
                if (s->index != 0)
                    return Invalid();
                s->type = V4L2_FRMSIZE_TYPE_STEPWISE;
                s->stepwise = r->second;
                return 0;
            }
            const auto d = n.Sizes.find(s->pixel_format);
            if (d == n.Sizes.end() || s->index >= d->second.size())
                return Invalid();
            s->type = V4L2_FRMSIZE_TYPE_DISCRETE;
            s->discrete = {std::uint32_t(d->second[s->index].first),
                           std::uint32_t(d->second[s->index].second)};
            return 0;
        }
        case VIDIOC_ENUM_FRAMEINTERVALS: {
            auto *i = static_cast<v4l2_frmivalenum *>(arg);
            if (n.IntervalRange) {
                if (i->index != 0)
                    return Invalid();
                i->type = V4L2_FRMIVAL_TYPE_CONTINUOUS;
                i->stepwise = *n.IntervalRange;
                return 0;
            }
            const auto d = n.Intervals.find({i->pixel_format, int(i->width), int(i->height)});
            if (d == n.Intervals.end() || i->index >= d->second.size())
                return Invalid();
            i->type = V4L2_FRMIVAL_TYPE_DISCRETE;
            i->discrete = d->second[i->index];
            return 0;
        }
        case VIDIOC_G_FMT: {
            auto *f = static_cast<v4l2_format *>(arg);
            if (f->type != V4L2_BUF_TYPE_VIDEO_CAPTURE)
                return Invalid();
            f->fmt.pix = n.Current;
            return 0;
        }
        case VIDIOC_G_PARM: {
            auto *p = static_cast<v4l2_streamparm *>(arg);
            if (n.CurrentInterval.denominator == 0)
                return Invalid();
            p->parm.capture.capability = V4L2_CAP_TIMEPERFRAME;
            p->parm.capture.timeperframe = n.CurrentInterval;
            return 0;
        }
        default:
            return Invalid();
        }
    }

private:
    static int Invalid()
    {
        errno = EINVAL;
        return -1;
    }
    QString FRoot;
    int FNextFd = 100;
    std::map<int, const TRecordedNode *> FOpen;
};

constexpr v4l2_fract Fps30{333333, 10000000}; // as uvcvideo reports 333333 x 100 ns
constexpr v4l2_fract Fps15{333333, 5000000};
constexpr v4l2_fract Fps5{1, 5};

// The answers of a UVC document camera: video0 captures, video1 carries
// its metadata.
TRecordedNode DocumentCamera()
{
    TRecordedNode n;
    n.Card = "USB Document Camera";
    n.Capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING |
                     V4L2_CAP_EXT_PIX_FORMAT | V4L2_CAP_DEVICE_CAPS;
    n.DeviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_EXT_PIX_FORMAT;
    n.Formats = {MJPG, YUYV};
    n.Sizes[MJPG] = {{1600, 1200}, {1920, 1080}, {1280, 720}, {640, 480}};
    n.Sizes[YUYV] = {{640, 480}, {1600, 1200}};
    for (const auto &[w, h] : n.Sizes[MJPG])
        n.Intervals[{MJPG, w, h}] = {Fps30, Fps15};
    n.Intervals[{YUYV, 640, 480}] = {Fps30, Fps15};
    n.Intervals[{YUYV, 1600, 1200}] = {Fps5};
    n.Current.width = 640;
    n.Current.height = 480;
    n.Current.pixelformat = YUYV;
    n.CurrentInterval = {1, 30};
    return n;
}

TRecordedNode MetadataNode()
{
    TRecordedNode n = DocumentCamera();
    n.DeviceCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_EXT_PIX_FORMAT;
    n.Formats = {};
    return n;
}

// A camera that offers one stepwise size range and a continuous frame rate.
TRecordedNode StepwiseCamera()
{
    TRecordedNode n;
    n.Card = "Stepwise Cam";
    n.Capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    n.Formats = {YUYV};
    n.SizeRange[YUYV] = {160, 1920, 8, 120, 1080, 8};
    n.IntervalRange = v4l2_frmival_stepwise{{1, 60}, {1, 1}, {1, 60}};
    n.Current.width = 1920;
    n.Current.height = 1080;
    n.Current.pixelformat = YUYV;
    return n;
}

class V4l2 : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.isValid());
        const QString usb = "devices/pci0000:00/0000:00:14.0/usb1/1-2";
        WriteText(usb + "/idVendor", "0c45\n");
        WriteText(usb + "/idProduct", "2003\n");
        WriteText(usb + "/1-2:1.0/bInterfaceNumber", "00\n");
        Node("video0", usb + "/1-2:1.0/video4linux/video0");
        Node("video1", usb + "/1-2:1.0/video4linux/video1");
        Node("video2", "devices/platform/soc/fe801000.csi/video4linux/video2");
        Node("video10", "devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0/video4linux/video10");
        Node("video3", "devices/platform/soc/locked/video4linux/video3");
        WriteText("devices/pci0000:00/0000:00:14.0/usb1/1-3/idVendor", "046d\n");
        WriteText("devices/pci0000:00/0000:00:14.0/usb1/1-3/idProduct", "0825\n");

        Sys = std::make_shared<TRecordedV4l2>(Root() + "/sys");
        Sys->Nodes["/dev/video0"] = DocumentCamera();
        Sys->Nodes["/dev/video1"] = MetadataNode();
        Sys->Nodes["/dev/video2"] = StepwiseCamera();
        TRecordedNode late = DocumentCamera();
        late.Card = "Late Camera With A Name Of 32 By";
        Sys->Nodes["/dev/video10"] = late;
        TRecordedNode locked = StepwiseCamera();
        locked.Openable = false;
        Sys->Nodes["/dev/video3"] = locked;
    }

    QString Root() const { return FRoot.path(); }

    void WriteText(const QString &relative, const QByteArray &text)
    {
        writeFile(Root() + "/sys/" + relative, text);
    }
    // A device folder and its class link, as sysfs has them.
    void Node(const QString &name, const QString &deviceDir)
    {
        QDir().mkpath(Root() + "/sys/" + deviceDir);
        QDir().mkpath(Root() + "/sys/class/video4linux");
        ASSERT_TRUE(QFile::link("../../" + deviceDir, Root() + "/sys/class/video4linux/" + name));
    }

    QTemporaryDir FRoot;
    std::shared_ptr<TRecordedV4l2> Sys;
};

TEST_F(V4l2, CapturingNodesInNodeOrderWithTheirUsbIdentity)
{
    TV4l2Provider provider(Sys);
    const auto devices = provider.Enumerate();
    ASSERT_EQ(devices.size(), 3u); // the metadata node and the locked one are left out
    EXPECT_EQ(devices[0]->FriendlyName(), "USB Document Camera");
    EXPECT_EQ(devices[0]->DevicePath(),
              "usb#VID_0C45&PID_2003#/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/"
              "video4linux/video0");
    EXPECT_EQ(devices[1]->FriendlyName(), "Stepwise Cam");
    EXPECT_EQ(devices[1]->DevicePath(),
              "/sys/devices/platform/soc/fe801000.csi/video4linux/video2");
    EXPECT_EQ(devices[2]->FriendlyName(), "Late Camera With A Name Of 32 By");
    EXPECT_TRUE(devices[2]->DevicePath().startsWith("usb#VID_046D&PID_0825#/sys/devices/"));
    EXPECT_EQ(Sys->Opens, Sys->Closes);
}

TEST_F(V4l2, ModesOfTheDocumentCamera)
{
    TV4l2Provider provider(Sys);
    const auto modes = provider.Enumerate()[0]->ReadModes();
    struct Expect
    {
        std::uint32_t SubType;
        int W, H, Bits;
        double Rate, Min, Max;
    };
    const double r30 = 10'000'000.0 / 333'333, r15 = 10'000'000.0 / 666'666;
    const Expect expected[] = {
        {MJPG, 1600, 1200, 24, r30, r15, r30}, {MJPG, 1920, 1080, 24, r30, r15, r30},
        {MJPG, 1280, 720, 24, r30, r15, r30},  {MJPG, 640, 480, 24, r30, r15, r30},
        {YUYV, 640, 480, 16, r30, r15, r30},   {YUYV, 1600, 1200, 16, 5.0, 5.0, 5.0},
    };
    ASSERT_EQ(modes.size(), std::size(expected));
    for (std::size_t i = 0; i < modes.size(); ++i) {
        SCOPED_TRACE(i);
        const TVCapMode &m = modes[i].Mode;
        EXPECT_EQ(m.MediaType, MEDIATYPE_Video);
        EXPECT_EQ(m.MediaSubType, expected[i].SubType);
        EXPECT_EQ(m.Width, expected[i].W);
        EXPECT_EQ(m.Height, expected[i].H);
        EXPECT_EQ(m.BitCount, expected[i].Bits);
        EXPECT_DOUBLE_EQ(m.FrameRate, expected[i].Rate);
        EXPECT_DOUBLE_EQ(m.MinFrameRate, expected[i].Min);
        EXPECT_DOUBLE_EQ(m.MaxFrameRate, expected[i].Max);
    }
    // The camera is asked for the shortest interval, as it reported it.
    EXPECT_EQ(modes[0].FpsNumerator, 10000000);
    EXPECT_EQ(modes[0].FpsDenominator, 333333);
    EXPECT_EQ(Sys->Opens, Sys->Closes);
}

TEST_F(V4l2, StepwiseSizesListTheLargestAndTheCommonOnesThatFit)
{
    TV4l2Provider provider(Sys);
    const auto modes = provider.Enumerate()[1]->ReadModes();
    std::vector<std::pair<int, int>> sizes;
    for (const TDeviceMode &m : modes) {
        sizes.emplace_back(m.Mode.Width, m.Mode.Height);
        // 1/60 s is 166,666 whole units of 100 ns.
        EXPECT_DOUBLE_EQ(m.Mode.FrameRate, 10'000'000.0 / 166'666);
        EXPECT_DOUBLE_EQ(m.Mode.MaxFrameRate, 10'000'000.0 / 166'666);
        EXPECT_DOUBLE_EQ(m.Mode.MinFrameRate, 1.0);
    }
    const std::vector<std::pair<int, int>> expected = {
        {1920, 1080}, {1280, 1024}, {1280, 960}, {1280, 720}, {1024, 768}, {800, 600},
        {640, 480},   {352, 288},   {320, 240},  {176, 144},  {160, 120}};
    EXPECT_EQ(sizes, expected);

    // A step the common sizes do not fall on leaves only the largest and
    // what lies on the step.
    EXPECT_EQ(SizesOfRange({100, 1000, 300, 100, 700, 200}),
              (std::vector<std::pair<int, int>>{{1000, 700}}));
}

TEST_F(V4l2, TheComponentListsBindsAndChoosesModesWithoutReopening)
{
    TTestVideoCap cap;
    cap.SetDeviceProviders({std::make_shared<TV4l2Provider>(Sys)});
    ASSERT_TRUE(cap.Init());
    EXPECT_EQ(cap.GetVideodeviceList(), QStringList({"USB Document Camera", "Stepwise Cam",
                                                     "Late Camera With A Name Of 32 By"}));
    cap.SetVideoDeviceIndex(0);
    const std::vector<TVideoSizeItem> expected = {{"1600x1200 (MJPG)", 0}, {"1920x1080 (MJPG)", 1},
                                                  {"1280x720 (MJPG)", 2},  {"640x480 (MJPG)", 3},
                                                  {"640x480 (YUY2)", 4},   {"1600x1200 (YUY2)", 5}};
    EXPECT_EQ(cap.GetVideoSize(), expected);
    // Bound at the device's current format.
    EXPECT_EQ(cap.VideoWidth(), 640);
    EXPECT_EQ(cap.VideoHeight(), 480);

    ASSERT_TRUE(cap.setVideoSize(1600, 1200, "MJPG"));
    const int opens = Sys->Opens;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(cap.VideoWidth(), 1600);
        ASSERT_EQ(cap.VideoHeight(), 1200);
    }
    EXPECT_EQ(Sys->Opens, opens);
    // The bound camera keeps one handle for its controls, until it is let go.
    EXPECT_EQ(Sys->Opens, Sys->Closes + 1);
    cap.SetVideoDeviceIndex(-1);
    EXPECT_EQ(Sys->Opens, Sys->Closes);
}

} // namespace
