// The V4L2 provider and the pipeline on a real V4L2 driver: the virtual
// "vivid" camera. Runs where vivid is loaded (the test VM: see
// tests/capture/run-v4l2-in-vm.sh); skipped elsewhere.
#include "CaptureTestSupport.h"
#include "RecordingTestSupport.h"
#include "capture/devices/ModeText.h"
#include "capture/devices/V4l2Provider.h"
#include "support/CameraDiscovery.h"
#include "support/ComponentUSB.h"

#include <QFile>
#include <linux/videodev2.h>

namespace {

const char *VividDriver = "/sys/bus/platform/drivers/vivid";

TCaptureDevicePtr FindVivid()
{
    for (const TCaptureDevicePtr &d : TV4l2Provider().Enumerate())
        if (d->DevicePath().contains("/platform/vivid"))
            return d;
    return nullptr;
}

bool WriteSysfs(const QString &path, const QByteArray &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

class Vivid : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Device = FindVivid();
        if (!Device)
            GTEST_SKIP() << "no vivid device here";
    }
    // Binds the component to vivid's 640x480 YUYV mode.
    void Bind(TTestVideoCap &cap)
    {
        cap.SetDeviceProviders({std::make_shared<TV4l2Provider>()});
        ASSERT_TRUE(cap.Init());
        const int index = int(cap.GetVideodeviceList().indexOf(Device->FriendlyName()));
        ASSERT_GE(index, 0);
        cap.SetVideoDeviceIndex(index);
        ASSERT_TRUE(cap.setVideoSize(640, 480, "YUY2"));
    }
    TCaptureDevicePtr Device;
};

TEST_F(Vivid, ListsTheCaptureNodeWithItsModes)
{
    EXPECT_EQ(Device->DevicePath(), "/sys/devices/platform/vivid.0/video4linux/video0");
    const auto modes = Device->ReadModes();
    ASSERT_FALSE(modes.empty());
    const auto yuyv640 = std::find_if(modes.begin(), modes.end(), [](const TDeviceMode &m) {
        return m.Mode.MediaSubType == FourCC('Y', 'U', 'Y', 'V') && m.Mode.Width == 640 &&
               m.Mode.Height == 480;
    });
    ASSERT_NE(yuyv640, modes.end());
    EXPECT_EQ(yuyv640->Mode.BitCount, 16);
    EXPECT_DOUBLE_EQ(yuyv640->Mode.MinFrameRate, 1.0);
    EXPECT_GE(yuyv640->Mode.MaxFrameRate, 25.0);
    for (const TDeviceMode &m : modes)
        std::printf("  %s %d x %d  %.5f fps (%.5f .. %.5f)\n",
                    qPrintable(FourCCText(m.Mode.MediaSubType)), m.Mode.Width, m.Mode.Height,
                    m.Mode.FrameRate, m.Mode.MinFrameRate, m.Mode.MaxFrameRate);
    EXPECT_GT(Device->ReadCurrentFormat().Mode.Width, 0);
}

TEST_F(Vivid, PreviewsAndStopsWhenTheDeviceGoes)
{
    TTestVideoCap cap;
    ASSERT_NO_FATAL_FAILURE(Bind(cap));
    ASSERT_TRUE(cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return cap.StartPreviewCount == 1; }, 30000));
    TGrabbed frame;
    ASSERT_TRUE(cap.Grab(frame, 30000));
    EXPECT_EQ(frame.Width, 640);
    EXPECT_EQ(frame.Height, 480);

    // Pull the cable: the driver lets go of its nodes under the stream.
    ASSERT_TRUE(WriteSysfs(QString(VividDriver) + "/unbind", "vivid.0"));
    EXPECT_TRUE(WaitUntil([&] { return !cap.Previewing(); }, 30000));
    EXPECT_EQ(cap.StopPreviewCount, 1);
    EXPECT_EQ(cap.ErrorCount, 0);
    // Gone: a new start fails.
    EXPECT_FALSE(cap.StartPreview());
    EXPECT_EQ(cap.ErrorCount, 1);
    ASSERT_TRUE(WriteSysfs(QString(VividDriver) + "/bind", "vivid.0"));
}

// The picture controls vivid offers (brightness, contrast, saturation, hue),
// read and written through the component while the picture runs.
TEST_F(Vivid, ControlsAreReadAndWrittenWithinTheirRanges)
{
    TTestVideoCap cap;
    cap.SetDeviceProviders({std::make_shared<TV4l2Provider>()});
    ASSERT_TRUE(cap.SetVideoDevicePath(Device->DevicePath()));
    const TCameraControlsPtr controls = cap.CameraControls();
    ASSERT_TRUE(controls);
    for (const TCameraControlInfo &c : controls->Query())
        std::printf("  control %08x %-28s %d..%d step %d default %d%s\n", c.Id, qPrintable(c.Name),
                    c.Minimum, c.Maximum, c.Step, c.Default, c.Type == cctMenu ? " (menu)" : "");
    for (TCameraControl c : {ccBrightness, ccContrast, ccSaturation, ccHue})
        EXPECT_TRUE(cap.ControlValue(c).has_value()) << int(c);
    const auto brightness = controls->QueryOne(V4L2_CID_BRIGHTNESS);
    const auto hue = controls->QueryOne(V4L2_CID_HUE);
    ASSERT_TRUE(brightness && hue);

    ASSERT_TRUE(cap.setVideoSize(640, 480, "YUY2"));
    ASSERT_TRUE(cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return cap.StartPreviewCount == 1; }, 30000));
    cap.SetBrightness(brightness->Maximum + 100);
    EXPECT_EQ(cap.Brightness(), brightness->Maximum);
    cap.SetBrightness(brightness->Minimum - 100);
    EXPECT_EQ(cap.Brightness(), brightness->Minimum);
    cap.SetBrightness(brightness->Default);
    EXPECT_EQ(cap.Brightness(), brightness->Default);
    if (hue->Minimum < 0) {
        // -1 is a value like any other.
        EXPECT_EQ(cap.SetControlValue(ccHue, -1), -1);
        EXPECT_EQ(cap.ControlValue(ccHue), -1);
    }
    // No focus on vivid: the focus operations leave everything alone.
    int lo = 7, hi = 7, value = 7;
    cap.Autofocus(5000);
    cap.GetFocusRange(lo, hi, value);
    EXPECT_EQ(std::make_tuple(lo, hi, value), std::make_tuple(7, 7, 7));
    EXPECT_EQ(cap.MFFocus(), -1);
    EXPECT_TRUE(cap.Previewing());
    cap.StopPreview();
}

// Discovery walks the same enumeration as the component: the index it gives
// vivid is vivid's place in the component's devices, and its path binds it.
TEST_F(Vivid, DiscoveryIndexesAndPathsMatchTheComponent)
{
    TCameraList list;
    EnumCameraDevices("platform/vivid", list, {std::make_shared<TV4l2Provider>()});
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].DevicePath, Device->DevicePath());
    EXPECT_EQ(list[0].Name, Device->FriendlyName());
    const auto devices = EnumerateDevices({std::make_shared<TV4l2Provider>()});
    ASSERT_LT(list[0].DeviceIndex, int(devices.size()));
    EXPECT_EQ(devices[std::size_t(list[0].DeviceIndex)]->DevicePath(), Device->DevicePath());
    // vivid sits on the platform bus: no document camera among its nodes.
    TCameraList cameras;
    EnumCameraDevices(CameraFilter, cameras, {std::make_shared<TV4l2Provider>()});
    EXPECT_TRUE(cameras.isEmpty());

    TTestVideoCap cap;
    cap.SetDeviceProviders({std::make_shared<TV4l2Provider>()});
    ASSERT_TRUE(cap.SetVideoDevicePath(list[0].DevicePath));
    EXPECT_EQ(cap.VideoDevicePath(), Device->DevicePath());
}

// The cable pulled under a running picture, with the notifier listening:
// the preview stops, the controls are gone, and the notifier calls once.
TEST_F(Vivid, UnbindingDuringPreviewIsHeardAndStopsThePicture)
{
    TComponentUSB usb;
    if (!usb.Monitoring())
        GTEST_SKIP() << "no device monitor here";
    int calls = 0;
    usb.OnUSBChanage = [&] {
        ++calls;
    };
    TTestVideoCap cap;
    cap.SetDeviceProviders({std::make_shared<TV4l2Provider>()});
    ASSERT_TRUE(cap.SetVideoDevicePath(Device->DevicePath()));
    ASSERT_TRUE(cap.setVideoSize(640, 480, "YUY2"));
    ASSERT_TRUE(cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return cap.StartPreviewCount == 1; }, 30000));
    const QString path = Device->DevicePath();
    ASSERT_TRUE(WriteSysfs(QString(VividDriver) + "/unbind", "vivid.0"));
    EXPECT_TRUE(WaitUntil([&] { return !cap.Previewing(); }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return calls >= 1; }, 30000));
    Spin(3 * TComponentUSB::CoalesceMs);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(cap.Brightness(), -1);
    EXPECT_FALSE(cap.SetVideoDevicePath(path));

    // Back again, maybe under another node number (the path names the node).
    ASSERT_TRUE(WriteSysfs(QString(VividDriver) + "/bind", "vivid.0"));
    EXPECT_TRUE(WaitUntil([&] { return calls == 2; }, 30000));
    const TCaptureDevicePtr again = FindVivid();
    ASSERT_TRUE(again);
    EXPECT_TRUE(cap.SetVideoDevicePath(again->DevicePath()));
    std::printf("  before: %s\n  after:  %s\n", qPrintable(path), qPrintable(again->DevicePath()));
}

TEST_F(Vivid, RecordingStopsWithAPlayableFileWhenTheDeviceGoes)
{
    TempHome home;
    UseNoSoundDevice(home);
    TRecordingCap cap;
    ASSERT_NO_FATAL_FAILURE(Bind(cap));
    const std::string file = (home.documents() + QStringLiteral("/unbound.mp4")).toStdString();
    cap.SetRecordFilename(QString::fromStdString(file));
    ASSERT_TRUE(cap.StartRecord());
    ASSERT_TRUE(WaitUntil([&] { return cap.StartRecordCount == 1; }, 30000));
    Spin(2000);

    ASSERT_TRUE(WriteSysfs(QString(VividDriver) + "/unbind", "vivid.0"));
    EXPECT_TRUE(WaitUntil([&] { return !cap.Previewing() && !cap.Recording(); }, 30000));
    EXPECT_EQ(cap.StopRecordCount, 1);
    ASSERT_TRUE(cap.WaitForFile());
    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->Width, 640);
    EXPECT_FALSE(video->Pts.empty()); // the pictures before the loss are there
    ASSERT_TRUE(WriteSysfs(QString(VividDriver) + "/bind", "vivid.0"));
}

} // namespace
