// The camera binding on its own, over the pipeline and without any widget:
// what a camera offers is read by device I/O alone, taken into the binding
// and the pipeline, and dropped again; the bound camera's modes and its
// snapshot button.
#include "capture/devices/ModeText.h"
#include "capture/devices/SimulatedCamera.h"
#include "capture/engine/CameraBinding.h"
#include "capture/engine/CaptureGraph.h"
#include "capture/engine/SampleGrabberCB.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString BindCam = QStringLiteral("usb#VID_0000&PID_2003#bind0");

class Binding : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gst_init_check(nullptr, nullptr, nullptr));
        TSimulatedCameras::Clear();
        TSimulatedCamera camera;
        camera.FriendlyName = QStringLiteral("Bind Cam");
        camera.DevicePath = BindCam;
        camera.Modes = {{640, 480, false, 30}, {1280, 720, true, 30}, {1280, 720, true, 15}};
        TSimulatedCameras::Add(camera);
        Cameras.SetProviders({std::make_shared<TSimulatedProvider>()});
        ASSERT_TRUE(Pipeline.Init());
    }
    void TearDown() override
    {
        Cameras.Release();
        TSimulatedCameras::Clear();
    }

    TSampleGrabberCB Grabber;
    TCaptureGraph Pipeline{Grabber};
    TCameraBinding Cameras{Pipeline};
};

TEST_F(Binding, ReadTouchesOnlyTheCamera)
{
    ASSERT_TRUE(Cameras.Refresh());
    const TCaptureDevicePtr device = Cameras.At(0);
    ASSERT_NE(device, nullptr);
    TCameraOffer offer = TCameraBinding::Read(*device);
    ASSERT_EQ(offer.Modes.size(), 3u);
    EXPECT_EQ(offer.Format, offer.Modes.front()); // the simulated camera's current format
    EXPECT_NE(offer.Controls, nullptr);
    EXPECT_TRUE(offer.Button.IsOpen());
    // Nothing is bound by reading.
    EXPECT_EQ(Cameras.Device(), nullptr);
    EXPECT_EQ(Cameras.ModeCount(), 0);
    EXPECT_EQ(Cameras.Controls(), nullptr);
    EXPECT_EQ(Pipeline.Source(), nullptr);
}

TEST_F(Binding, BindTakesTheOfferAndReleaseDropsIt)
{
    ASSERT_TRUE(Cameras.Refresh());
    ASSERT_TRUE(Cameras.Bind(Cameras.Named(QStringLiteral("Bind Cam"))));
    EXPECT_EQ(Cameras.Device()->DevicePath(), BindCam);
    EXPECT_EQ(Cameras.DeviceName(), QStringLiteral("Bind Cam"));
    EXPECT_NE(Pipeline.Source(), nullptr);
    EXPECT_EQ(Pipeline.CurrentFormat().Mode, Cameras.Mode(0));
    EXPECT_NE(Cameras.Controls(), nullptr);
    const std::vector<TVideoSizeItem> sizes = {{"640x480 (YUY2)", 0}, {"1280x720 (MJPG)", 1}};
    EXPECT_EQ(Cameras.VideoSizes(), sizes);

    // A mode by size and codec, applied to the stopped source.
    const int hd = Cameras.FindMode(1280, 720, QStringLiteral("mjpg"));
    EXPECT_EQ(hd, 1);
    EXPECT_EQ(Cameras.FindMode(800, 600, QStringLiteral("MJPG")), -1);
    EXPECT_TRUE(Cameras.ApplyMode(hd));
    EXPECT_EQ(Pipeline.CurrentFormat().Mode, Cameras.Mode(1));
    EXPECT_EQ(TCameraBinding::CodecOf(Cameras.Mode(hd)), QStringLiteral("MJPG"));
    EXPECT_EQ(TCameraBinding::CodecOf(Cameras.Mode(0)), QStringLiteral("YUY2"));
    // Outside the list nothing is applied and the format stays.
    EXPECT_FALSE(Cameras.ApplyMode(3));
    EXPECT_EQ(Pipeline.CurrentFormat().Mode, Cameras.Mode(1));

    Cameras.Release();
    EXPECT_EQ(Cameras.Device(), nullptr);
    EXPECT_EQ(Pipeline.Source(), nullptr);
    EXPECT_EQ(Cameras.ModeCount(), 0);
    EXPECT_EQ(Cameras.Mode(0), TVCapMode{});
    EXPECT_EQ(Cameras.Controls(), nullptr);
    EXPECT_FALSE(Cameras.ApplyMode(0));
    // The name of the camera bound last stays.
    EXPECT_EQ(Cameras.DeviceName(), QStringLiteral("Bind Cam"));
}

TEST_F(Binding, TheButtonOfTheBoundCameraOnly)
{
    int presses = 0;
    Cameras.OnSnapshotButton = [&] {
        ++presses;
    };
    ASSERT_TRUE(Cameras.Refresh());
    ASSERT_TRUE(Cameras.Bind(Cameras.At(0)));
    ASSERT_TRUE(TSimulatedCameras::PressButton(BindCam));
    EXPECT_TRUE(QTest::qWaitFor([&] { return presses == 1; }, 5000));

    // Unbound: the button's stream is closed, a press reaches nobody.
    Cameras.Release();
    TSimulatedCameras::PressButton(BindCam);
    QTest::qWait(100);
    EXPECT_EQ(presses, 1);
}

TEST_F(Binding, NothingToBindBindsNothing)
{
    TSimulatedCameras::Clear();
    EXPECT_FALSE(Cameras.Refresh());
    EXPECT_EQ(Cameras.Count(), 0);
    EXPECT_EQ(Cameras.At(0), nullptr);
    EXPECT_EQ(Cameras.At(-1), nullptr);
    EXPECT_EQ(Cameras.Named(QStringLiteral("Bind Cam")), nullptr);
    EXPECT_EQ(Cameras.IndexOfPath(QString()), -1);
    EXPECT_FALSE(Cameras.Bind(nullptr));
    EXPECT_EQ(Cameras.Device(), nullptr);
}

} // namespace
