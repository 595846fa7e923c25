// The syntax of OVILEN_SIMULATED_CAMERAS and the test controls.
#include "capture/devices/SimulatedCamera.h"

#include <gtest/gtest.h>

namespace {

TEST(SimulatedCameras, TheDefaultOfTheRunScript)
{
    const auto cams = TSimulatedCameras::Parse(
        "Ovilen Document Camera|usb#VID_0000&PID_2003#sim0|1600x1200 MJPG 30,1920x1080 MJPG "
        "30,1280x720 MJPG 30,640x480 YUY2 30");
    ASSERT_EQ(cams.size(), 1u);
    EXPECT_EQ(cams[0].FriendlyName, "Ovilen Document Camera");
    EXPECT_EQ(cams[0].DevicePath, "usb#VID_0000&PID_2003#sim0");
    const std::vector<TSimulatedMode> modes = {{1600, 1200, true, 30},
                                               {1920, 1080, true, 30},
                                               {1280, 720, true, 30},
                                               {640, 480, false, 30}};
    EXPECT_EQ(cams[0].Modes, modes);
    EXPECT_EQ(cams[0].DropAfterFrames, -1);
    EXPECT_EQ(cams[0].DamagedEvery, 0);
}

TEST(SimulatedCameras, SeveralCamerasWithOptions)
{
    QStringList errors;
    const auto cams =
        TSimulatedCameras::Parse(" Cam A |a0| 640x480 mjpg 15 |drop=120|damaged=5;;"
                                 "Cam B|b0|320x240 YUY2 30|pattern=ball|speed=0|refuse=320x240;",
                                 &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    ASSERT_EQ(cams.size(), 2u);
    EXPECT_EQ(cams[0].FriendlyName, " Cam A "); // names are kept as written
    EXPECT_EQ(cams[0].Modes, (std::vector<TSimulatedMode>{{640, 480, true, 15}}));
    EXPECT_EQ(cams[0].DropAfterFrames, 120);
    EXPECT_EQ(cams[0].DamagedEvery, 5);
    EXPECT_EQ(cams[1].Pattern, "ball");
    EXPECT_EQ(cams[1].Speed, 0);
    EXPECT_EQ(cams[1].Refused, (std::vector<std::pair<int, int>>{{320, 240}}));
}

TEST(SimulatedCameras, BadEntriesAreLeftOutWithTheirReason)
{
    struct Case
    {
        const char *Text;
        const char *Why;
    };
    const Case cases[] = {
        {"Cam|p0", "needs a name, a device path and modes"},
        {"Cam| |640x480 MJPG 30", "has no device path"},
        {"Cam|p0|640x480 H264 30", "bad mode"},
        {"Cam|p0|640x MJPG 30", "bad mode"},
        {"Cam|p0|640x480 MJPG", "bad mode"},
        {"Cam|p0|641x480 YUY2 30", "bad mode"}, // YUY2 needs an even width
        {"Cam|p0|640x480 MJPG 30|drop=soon", "unknown option"},
        {"Cam|p0|640x480 MJPG 30|zoom=2", "unknown option"},
    };
    for (const Case &c : cases) {
        QStringList errors;
        const auto cams =
            TSimulatedCameras::Parse(QString(c.Text) + ";Good|g0|320x240 MJPG 30", &errors);
        ASSERT_EQ(cams.size(), 1u) << c.Text;
        EXPECT_EQ(cams[0].FriendlyName, "Good");
        ASSERT_EQ(errors.size(), 1) << c.Text;
        EXPECT_TRUE(errors[0].contains(c.Why)) << errors[0].toStdString();
        EXPECT_TRUE(errors[0].startsWith("camera 1:")) << errors[0].toStdString();
    }
}

TEST(SimulatedCameras, TheEnvironmentAndTheTestControls)
{
    qputenv(TSimulatedCameras::EnvironmentVariable, "Env Cam|e0|320x240 MJPG 30");
    TSimulatedCameras::LoadFromEnvironment();
    ASSERT_EQ(TSimulatedCameras::List().size(), 1u);
    EXPECT_EQ(TSimulatedCameras::List()[0].FriendlyName, "Env Cam");

    TSimulatedCamera extra;
    extra.FriendlyName = "Extra";
    extra.DevicePath = "x0";
    extra.Modes = {{160, 120, true, 30}};
    TSimulatedCameras::Add(extra);
    EXPECT_EQ(TSimulatedProvider().Enumerate().size(), 2u);
    EXPECT_TRUE(TSimulatedCameras::SetDamagedEvery("x0", 3));
    EXPECT_TRUE(TSimulatedCameras::SetDropAfterFrames("x0", 10));
    EXPECT_EQ(TSimulatedCameras::List()[1].DamagedEvery, 3);
    EXPECT_EQ(TSimulatedCameras::List()[1].DropAfterFrames, 10);
    EXPECT_FALSE(TSimulatedCameras::DropOut("nowhere"));

    qunsetenv(TSimulatedCameras::EnvironmentVariable);
    TSimulatedCameras::LoadFromEnvironment();
    EXPECT_TRUE(TSimulatedCameras::List().empty());
}

} // namespace
