// Binding a camera by its device path while other cameras come and go.
#include "CaptureTestSupport.h"

namespace {

class BindByPath : public ::testing::Test
{
protected:
    void SetUp() override { TSimulatedCameras::Clear(); }
    void TearDown() override { TSimulatedCameras::Clear(); }
    static void Add(const QString &name, const QString &path, int width = 640)
    {
        TSimulatedCameras::Add(SimCamera(name, path, {{width, 480, true, 30}}));
    }
};

TEST_F(BindByPath, FindsTheCameraWhereverItMoved)
{
    Add("Doc Cam", "usb#VID_1234&PID_2003#a", 640);
    Add("Doc Cam", "usb#VID_1234&PID_2003#b", 800);
    TTestVideoCap cap;
    ASSERT_TRUE(cap.SetVideoDevicePath("usb#VID_1234&PID_2003#b"));
    EXPECT_EQ(cap.VideoDevicePath(), "usb#VID_1234&PID_2003#b");
    EXPECT_EQ(cap.VideoWidth(), 800);
    EXPECT_EQ(cap.VideoDeviceCount(), 2);

    // A nameless device (listed by discovery's count, not by the component)
    // and a new camera come first: indexes shift, the path still binds "b".
    TSimulatedCameras::Clear();
    Add("", "usb#VID_1234&PID_2003#hidden");
    Add("New Cam", "usb#VID_1234&PID_2003#c", 320);
    Add("Doc Cam", "usb#VID_1234&PID_2003#b", 800);
    ASSERT_TRUE(cap.SetVideoDevicePath("usb#VID_1234&PID_2003#b"));
    EXPECT_EQ(cap.VideoDevicePath(), "usb#VID_1234&PID_2003#b");
    EXPECT_EQ(cap.VideoDeviceIndex(), 1);
    EXPECT_EQ(cap.VideoWidth(), 800);
    ASSERT_TRUE(cap.StartPreview());
    EXPECT_TRUE(WaitUntil([&] { return cap.StartPreviewCount == 1; }));
}

TEST_F(BindByPath, AMissingPathIsDeviceNotFoundAndKeepsTheBinding)
{
    Add("Doc Cam", "usb#VID_1234&PID_2003#a");
    TTestVideoCap cap;
    TCaptureLog log;
    ASSERT_TRUE(cap.SetVideoDevicePath("usb#VID_1234&PID_2003#a"));
    EXPECT_FALSE(cap.SetVideoDevicePath("usb#VID_1234&PID_2003#gone"));
    EXPECT_FALSE(cap.SetVideoDevicePath(""));
    EXPECT_EQ(cap.VideoDevicePath(), "usb#VID_1234&PID_2003#a");
    EXPECT_TRUE(log.Contains("device not found: usb#VID_1234&PID_2003#gone"));

    // Paths are compared exactly.
    EXPECT_FALSE(cap.SetVideoDevicePath("USB#VID_1234&PID_2003#A"));
}

} // namespace
