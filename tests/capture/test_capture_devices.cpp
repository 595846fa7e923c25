// The camera list, the mode list and the choice of a mode, on simulated
// cameras (no streaming).
#include "CaptureTestSupport.h"
#include "capture/devices/ModeText.h"

namespace {

class Devices : public ::testing::Test
{
protected:
    void SetUp() override { TSimulatedCameras::Clear(); }
    void TearDown() override { TSimulatedCameras::Clear(); }

    static void Add(const QString &name, const QString &path,
                    std::vector<TSimulatedMode> modes = {{640, 480, true, 30}})
    {
        TSimulatedCameras::Add(SimCamera(name, path, std::move(modes)));
    }
};

TEST_F(Devices, ListNamesAreMadeUniqueAndBlankNamesSkipped)
{
    Add("Doc Cam", "p0");
    Add("USB Camera", "p1");
    Add("   ", "p2");
    Add("USB Camera", "p3");
    Add("", "p4");
    Add("USB Camera", "p5");
    TTestVideoCap cap;
    ASSERT_TRUE(cap.Init());
    EXPECT_EQ(cap.GetVideodeviceList(),
              QStringList({"Doc Cam", "USB Camera", "USB Camera (2)", "USB Camera (3)"}));
    EXPECT_EQ(cap.VideoDeviceCount(), 4);

    // Bound by list name: the third entry; its own name carries no suffix,
    // so the index found for it is that of the first "USB Camera".
    cap.SetVideoDeviceName("USB Camera (2)");
    EXPECT_EQ(cap.VideoDevicePath(), "p3");
    EXPECT_EQ(cap.VideoDeviceName(), "USB Camera");
    EXPECT_EQ(cap.VideoDeviceIndex(), 1);

    cap.SetVideoDeviceIndex(3);
    EXPECT_EQ(cap.VideoDevicePath(), "p5");
    cap.SetVideoDeviceIndex(0);
    EXPECT_EQ(cap.VideoDeviceName(), "Doc Cam");
    EXPECT_EQ(cap.VideoDeviceIndex(), 0);

    // Names match exactly; an unknown name or position binds nothing.
    cap.SetVideoDeviceName("usb camera");
    EXPECT_EQ(cap.VideoDevicePath(), "");
    EXPECT_EQ(cap.VideoWidth(), 0);
    cap.SetVideoDeviceIndex(4);
    EXPECT_EQ(cap.VideoDevicePath(), "");
    EXPECT_EQ(cap.VideoWidth(), 0);
    EXPECT_EQ(cap.VideoHeight(), 0);
    EXPECT_TRUE(cap.GetVideoSize().empty());
    EXPECT_FALSE(cap.setVideoSize(640, 480, "MJPG"));
}

TEST_F(Devices, InitWithoutCamerasIsFalse)
{
    Add("  ", "p0");
    TTestVideoCap cap;
    EXPECT_FALSE(cap.Init());
    EXPECT_EQ(cap.VideoDeviceCount(), 0);
    EXPECT_TRUE(cap.GetVideodeviceList().isEmpty());
}

TEST_F(Devices, ModeTextsKeepTheirFirstPosition)
{
    Add("Doc Cam", "p0", {{640, 480, false, 30}, {1280, 720, true, 30}, {1280, 720, true, 15}});
    TTestVideoCap cap;
    ASSERT_TRUE(cap.Init());
    cap.SetVideoDeviceIndex(0);
    const std::vector<TVideoSizeItem> expected = {{"640x480 (YUY2)", 0}, {"1280x720 (MJPG)", 1}};
    EXPECT_EQ(cap.GetVideoSize(), expected);
    EXPECT_EQ(cap.VCapModeCount(), 3);
    EXPECT_DOUBLE_EQ(cap.VCapModes(2).FrameRate, 10'000'000.0 / 666'666);
}

TEST_F(Devices, SetVideoSizeMatchesWholeNumbersAndTheCodec)
{
    Add("Doc Cam", "p0",
        {{640, 480, false, 30},
         {1280, 720, true, 30},
         {1920, 1080, true, 30},
         {1600, 1200, true, 30}});
    struct Case
    {
        int W, H;
        const char *Codec;
        bool Matches;
        int Width, Height; // the size applied afterwards
    };
    const Case cases[] = {
        {1280, 720, "mjpg", true, 1280, 720},
        {1280, 720, "(MJPG)", true, 1280, 720},
        {640, 480, "YUY2", true, 640, 480},
        {640, 480, "yuy2", true, 640, 480},
        {280, 720, "MJPG", false, 0, 0}, // not a substring of 1280
        {1280, 72, "MJPG", false, 0, 0},
        {1280, 720, "", false, 0, 0}, // an empty codec never matches
        {1280, 720, "JPG", false, 0, 0},
        {640, 480, "MJPG", false, 0, 0}, // that size is YUY2 only
        {1080, 1920, "MJPG", false, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.W) + "x" + std::to_string(c.H) + " " + c.Codec);
        TTestVideoCap cap;
        ASSERT_TRUE(cap.Init());
        cap.SetVideoDeviceIndex(0);
        // Bound at the camera's current format (its first mode).
        ASSERT_EQ(cap.VideoWidth(), 640);
        EXPECT_EQ(cap.setVideoSize(c.W, c.H, c.Codec), c.Matches);
        EXPECT_EQ(cap.VideoWidth(), c.Matches ? c.Width : 640);
        EXPECT_EQ(cap.VideoHeight(), c.Matches ? c.Height : 480);
        EXPECT_EQ(cap.VideoCodec(), c.Matches ? QString(c.Codec) : QString());
    }
}

TEST_F(Devices, VideoSizeFollowsTheRotation)
{
    Add("Doc Cam", "p0", {{1600, 1200, true, 30}});
    TTestVideoCap cap;
    ASSERT_TRUE(cap.Init());
    cap.SetVideoDeviceIndex(0);
    struct Case
    {
        TVideoRotationType Rotation;
        int W, H;
    };
    const Case cases[] = {{vrtNone, 1600, 1200},     {vrt90, 1200, 1600},
                          {vrt180, 1600, 1200},      {vrt270, 1200, 1600},
                          {vrtFlipHorz, 1600, 1200}, {vrtFlipVert, 1600, 1200}};
    // A stage factory that builds nothing keeps the rotation restarts from
    // running a pipeline: only the size rule is looked at here.
    cap.SetStageFactory([](const char *, const char *) -> GstElement * { return nullptr; });
    for (const Case &c : cases) {
        cap.SetVideoRotate(c.Rotation);
        EXPECT_EQ(cap.VideoRotate(), c.Rotation);
        EXPECT_EQ(cap.VideoWidth(), c.W) << int(c.Rotation);
        EXPECT_EQ(cap.VideoHeight(), c.H) << int(c.Rotation);
        // The mode in use stays as the camera sends it.
        EXPECT_EQ(cap.CaptureMode().Width, 1600) << int(c.Rotation);
        EXPECT_EQ(cap.CaptureMode().Height, 1200) << int(c.Rotation);
    }
}

TEST_F(Devices, ModesOutsideTheListReadAsZeros)
{
    Add("Doc Cam", "p0", {{640, 480, false, 30}, {1280, 720, true, 30}});
    TTestVideoCap cap;
    EXPECT_EQ(cap.VCapModes(0), TVCapMode{}); // nothing bound yet
    ASSERT_TRUE(cap.Init());
    cap.SetVideoDeviceIndex(0);
    EXPECT_EQ(cap.VCapModes(-1), TVCapMode{});
    EXPECT_EQ(cap.VCapModes(2), TVCapMode{});
    const TVCapMode m = cap.VCapModes(1);
    EXPECT_EQ(m.MediaType, MEDIATYPE_Video);
    EXPECT_EQ(m.MediaSubType, FourCC('M', 'J', 'P', 'G'));
    EXPECT_EQ(m.Width, 1280);
    EXPECT_EQ(m.Height, 720);
    EXPECT_EQ(m.BitCount, 24);
    // 30 frames per second is a frame time of 333,333 units of 100 ns.
    EXPECT_DOUBLE_EQ(m.FrameRate, 10'000'000.0 / 333'333);
    EXPECT_NEAR(m.FrameRate, 30.00003, 1e-5);
}

TEST(ModeText, TextsOfTheNameTable)
{
    struct Case
    {
        std::uint32_t SubType;
        const char *Text;
    };
    const Case cases[] = {
        {FourCC('M', 'J', 'P', 'G'), "1600x1200 (MJPG)"},
        {FourCC('Y', 'U', 'Y', 'V'), "1600x1200 (YUY2)"},
        {FourCC('U', 'Y', 'V', 'Y'), "1600x1200 (UYVY)"},
        {FourCC('B', 'G', 'R', '3'), "1600x1200 (RGB24)"},
        {FourCC('Y', 'V', 'U', '9'), "1600x1200 (YVU9)"},
        {FourCC('N', 'V', '1', '2'), "1600x1200"},
        {0, "1600x1200"},
    };
    for (const Case &c : cases) {
        TVCapMode m;
        m.Width = 1600;
        m.Height = 1200;
        m.MediaSubType = c.SubType;
        EXPECT_EQ(ModeText(m), c.Text);
        // A mode without a suffix never matches a codec.
        if (ModeSuffix(c.SubType).isEmpty()) {
            EXPECT_FALSE(ModeMatches(m, 1600, 1200, "NV12"));
        }
    }
}

} // namespace
