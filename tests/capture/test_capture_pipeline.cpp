// The preview lifecycle on simulated cameras, through the real pipeline:
// first frame, stop and restart, pause and resume, failures of the build,
// refused modes, lost cameras, damaged frames, rotation and the effects on
// grabbed frames.
#include "CaptureTestSupport.h"
#include "ReferenceEffects.h"
#include "capture/component/VideoWindow.h"

#include <QImage>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

const QString DocCam = QStringLiteral("usb#VID_0000&PID_2003#test0");

class Pipeline : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TSimulatedCameras::Clear();
        TSimulatedCamera cam = SimCamera(QStringLiteral("Doc Cam"), DocCam,
                                         {{320, 240, true, 30}, {160, 120, false, 30}});
        cam.Refused = {{160, 120}};
        TSimulatedCameras::Add(cam);
        ASSERT_TRUE(Cap.Init());
        Cap.SetVideoDeviceIndex(0);
        ASSERT_TRUE(Cap.setVideoSize(320, 240, QStringLiteral("MJPG")));
    }
    void TearDown() override
    {
        Cap.StopPreview();
        TSimulatedCameras::Clear();
    }

    bool StartAndWaitForPicture()
    {
        return Cap.StartPreview() && WaitUntil([&] { return Cap.StartPreviewCount > 0; }) &&
               WaitUntil(
                   [&] { return Cap.VideoWindow() && Cap.VideoWindow()->FramesPresented() >= 3; });
    }

    std::uint64_t Presented() const
    {
        return Cap.VideoWindow() ? Cap.VideoWindow()->FramesPresented() : 0;
    }

    TTestVideoCap Cap;
};

TEST_F(Pipeline, FirstFrameIsAnnouncedOncePerStart)
{
    ASSERT_TRUE(Cap.StartPreview());
    EXPECT_TRUE(Cap.Previewing());
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == 1; }));
    ASSERT_TRUE(WaitUntil([&] { return Presented() >= 10; }));
    EXPECT_EQ(Cap.StartPreviewCount, 1);
    EXPECT_EQ(Cap.ErrorCount, 0);

    // A start while previewing builds nothing and raises nothing.
    GstElement *tee = gst_bin_get_by_name(GST_BIN(Cap.Graph()), "KARVOSmartTee");
    ASSERT_NE(tee, nullptr);
    EXPECT_TRUE(Cap.StartPreview());
    GstElement *teeAfter = gst_bin_get_by_name(GST_BIN(Cap.Graph()), "KARVOSmartTee");
    EXPECT_EQ(tee, teeAfter);
    gst_object_unref(tee);
    gst_object_unref(teeAfter);
    Spin(100);
    EXPECT_EQ(Cap.StartPreviewCount, 1);

    // Stop: no picture window, the pipeline holds only the camera; a new
    // start announces its first frame again.
    Cap.StopPreview();
    EXPECT_FALSE(Cap.Previewing());
    EXPECT_EQ(Cap.VideoWindow(), nullptr);
    EXPECT_EQ(GST_BIN(Cap.Graph())->numchildren, 1);
    EXPECT_EQ(Cap.StopPreviewCount, 1);
    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == 2; }));
}

TEST_F(Pipeline, FirstFrameFitsThePictureToTheControl)
{
    Cap.SetAspectRatio(true);
    ASSERT_TRUE(StartAndWaitForPicture());
    // 320x240 in a 640x360 control, fitted to its height.
    EXPECT_FLOAT_EQ(Cap.Zoom(), 1.5f);
    EXPECT_FLOAT_EQ(TCustomVideoCap::MinZoom, 1.5f);
    EXPECT_EQ(Cap.VideoWindow()->geometry(), QRect(80, 0, 480, 360));
    // A resume is a full rebuild: the zoom goes back to the fit.
    Cap.SetZoom(3.0f);
    Cap.ResumePreview();
    EXPECT_EQ(Cap.ResumeCount, 1);
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == 2; }));
    EXPECT_FLOAT_EQ(Cap.Zoom(), 1.5f);
}

TEST_F(Pipeline, StartWithoutACameraRaisesOnError)
{
    TSimulatedCameras::Clear();
    TTestVideoCap empty;
    TCaptureLog log;
    EXPECT_FALSE(empty.Init());
    EXPECT_FALSE(empty.StartPreview());
    EXPECT_EQ(empty.ErrorCount, 1);
    EXPECT_FALSE(empty.Previewing());

    // Cameras listed but none bound: the same.
    TSimulatedCameras::Add(SimCamera(QStringLiteral("Doc Cam"), DocCam, {{320, 240, true, 30}}));
    TTestVideoCap unbound;
    ASSERT_TRUE(unbound.Init());
    EXPECT_FALSE(unbound.StartPreview());
    EXPECT_EQ(unbound.ErrorCount, 1);
    // A position outside the list binds nothing either.
    unbound.SetVideoDeviceIndex(5);
    EXPECT_FALSE(unbound.StartPreview());
    EXPECT_EQ(unbound.ErrorCount, 2);
    EXPECT_TRUE(log.Lines().filter(QStringLiteral("Fail")).isEmpty())
        << log.Lines().join('\n').toStdString();
}

TEST_F(Pipeline, MissingStageFailsTheBuildWithItsText)
{
    struct Case
    {
        const char *Factory;
        const char *Text;
        std::vector<const char *> Remaining; // stages left in the pipeline
    };
    const Case cases[] = {
        {"tee", "CLSID_SmartTee Fail", {}},
        {"capsfilter", "Grabber Fail", {}},
        {"appsink", "FRenderFilter Fail", {}},
        {"jpegdec",
         "MJPEG FIlter Fail",
         {"KARVOBitmapGrabber", "KARVORenderFilter", "KARVOSmartTee"}},
        {"videoflip",
         "Rotate FIlter Fail",
         {"KARVOBitmapGrabber", "KARVORenderFilter", "KARVOSmartTee", "KARVOMJPEG"}},
        {"videoconvert",
         "Color Space Fail",
         {"KARVOBitmapGrabber", "KARVORenderFilter", "KARVOSmartTee", "KARVOMJPEG",
          "KARVORoateFilter"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Factory);
        Cap.SetStageFactory([&](const char *factory, const char *name) -> GstElement * {
            return QByteArray(factory) == c.Factory ? nullptr
                                                    : gst_element_factory_make(factory, name);
        });
        const int errors = Cap.ErrorCount;
        {
            TCaptureLog log;
            EXPECT_FALSE(Cap.StartPreview());
            EXPECT_TRUE(log.Contains(QString::fromLatin1(c.Text)))
                << log.Lines().join('\n').toStdString();
            // The first failing step ends the build: no later text.
            EXPECT_EQ(log.Lines().filter(QStringLiteral("Fail")).size(), 1);
        }
        EXPECT_EQ(Cap.ErrorCount, errors + 1);
        EXPECT_FALSE(Cap.Previewing());
        EXPECT_EQ(GST_BIN(Cap.Graph())->numchildren, int(c.Remaining.size()) + 1);
        for (const char *name : c.Remaining) {
            GstElement *e = gst_bin_get_by_name(GST_BIN(Cap.Graph()), name);
            EXPECT_NE(e, nullptr) << name;
            if (e)
                gst_object_unref(e);
        }
    }
    // With every stage at hand again the next start builds over the leftovers.
    Cap.SetStageFactory([](const char *factory, const char *name) {
        return gst_element_factory_make(factory, name);
    });
    ASSERT_TRUE(StartAndWaitForPicture());
}

TEST_F(Pipeline, ARefusedModeFailsTheStart)
{
    ASSERT_TRUE(Cap.setVideoSize(160, 120, QStringLiteral("YUY2")));
    TCaptureLog log;
    EXPECT_FALSE(Cap.StartPreview());
    EXPECT_TRUE(log.Contains(QStringLiteral("Smart Tee Connect Fail")));
    EXPECT_EQ(Cap.ErrorCount, 1);
    EXPECT_FALSE(Cap.Previewing());
    // Back to a mode it takes.
    ASSERT_TRUE(Cap.setVideoSize(320, 240, QStringLiteral("MJPG")));
    ASSERT_TRUE(StartAndWaitForPicture());
}

TEST_F(Pipeline, RawModesPassTheDecoderUnchanged)
{
    TSimulatedCameras::Clear();
    TSimulatedCameras::Add(
        SimCamera(QStringLiteral("Raw Cam"), QStringLiteral("raw0"), {{160, 120, false, 30}}));
    TTestVideoCap raw;
    ASSERT_TRUE(raw.Init());
    raw.SetVideoDeviceIndex(0);
    ASSERT_TRUE(raw.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return raw.StartPreviewCount == 1; }));
    GstElement *decoder = gst_bin_get_by_name(GST_BIN(raw.Graph()), "KARVOMJPEG");
    ASSERT_NE(decoder, nullptr);
    EXPECT_STREQ(GST_OBJECT_NAME(gst_element_get_factory(decoder)), "identity");
    gst_object_unref(decoder);
    TGrabbed frame;
    ASSERT_TRUE(raw.Grab(frame));
    EXPECT_EQ(frame.Width, 160);
    EXPECT_EQ(frame.Height, 120);
}

TEST_F(Pipeline, LosingTheCameraStopsThePreview)
{
    Cap.SetBackgroundColor(QColor(10, 20, 30));
    ASSERT_TRUE(StartAndWaitForPicture());
    TCaptureLog log;
    ASSERT_TRUE(TSimulatedCameras::DropOut(DocCam));
    ASSERT_TRUE(WaitUntil([&] { return !Cap.Previewing(); }));
    EXPECT_EQ(Cap.VideoWindow(), nullptr);
    EXPECT_EQ(Cap.StopPreviewCount, 1);
    EXPECT_EQ(Cap.StopRecordCount, 0);
    EXPECT_EQ(Cap.ErrorCount, 0); // it had shown its picture
    EXPECT_FALSE(log.Lines().filter(QStringLiteral("device lost")).isEmpty());
    // The control shows its background colour.
    const QImage shown = Cap.grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(10, 20, 30));
    EXPECT_EQ(shown.pixelColor(320, 180), QColor(10, 20, 30));

    // Gone until plugged in again.
    EXPECT_FALSE(Cap.StartPreview());
    EXPECT_EQ(Cap.ErrorCount, 1);
    TSimulatedCameras::PlugIn(DocCam);
    ASSERT_TRUE(StartAndWaitForPicture());
}

TEST_F(Pipeline, LosingTheCameraWhileRecordingRaisesOnStopRecord)
{
    ASSERT_TRUE(StartAndWaitForPicture());
    Cap.FlagRecording();
    TSimulatedCameras::DropOut(DocCam);
    ASSERT_TRUE(WaitUntil([&] { return !Cap.Previewing(); }));
    EXPECT_EQ(Cap.StopRecordCount, 1);
    EXPECT_EQ(Cap.StopPreviewCount, 0);
    EXPECT_FALSE(Cap.Recording());
}

TEST_F(Pipeline, CameraLostBeforeItsFirstFrameFailsTheStart)
{
    TSimulatedCameras::SetDropAfterFrames(DocCam, 0);
    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return !Cap.Previewing(); }));
    EXPECT_EQ(Cap.ErrorCount, 1);
    EXPECT_EQ(Cap.StartPreviewCount, 0);
}

TEST_F(Pipeline, ARestartFromTheErrorHandlerSeesTheNextLoss)
{
    // The error handler restarts the preview (as a reopen after a hot-plug
    // does) and the camera is lost again before its first frame, while the
    // handler still runs. That loss must still stop the preview and be
    // reported, not leave a frozen picture with Previewing set.
    TSimulatedCameras::SetDropAfterFrames(DocCam, 0);
    int restarts = 0;
    bool lossQueued = false;
    Cap.OnError = [&](TCustomVideoCap *Sender) {
        ++Cap.ErrorCount;
        if (restarts++ > 0)
            return;
        ASSERT_TRUE(Sender->StartPreview());
        // Hold the handler until the new run's loss is on the pipeline's bus.
        TGstRef<GstBus> bus = TGstRef<GstBus>::Adopt(gst_element_get_bus(Sender->Graph()));
        for (int i = 0; i < 2000 && !lossQueued; ++i) {
            lossQueued = gst_bus_have_pending(bus.get());
            if (!lossQueued)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    };
    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return Cap.ErrorCount == 2; }));
    EXPECT_TRUE(lossQueued);
    EXPECT_FALSE(Cap.Previewing());
    EXPECT_EQ(restarts, 2);
    EXPECT_EQ(Cap.StartPreviewCount, 0);
}

TEST_F(Pipeline, CameraLostAfterSomeFramesStopsAfterThem)
{
    TSimulatedCameras::SetDropAfterFrames(DocCam, 8);
    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return !Cap.Previewing(); }));
    EXPECT_EQ(Cap.StartPreviewCount, 1);
    EXPECT_EQ(Cap.ErrorCount, 0);
    EXPECT_GE(TSimulatedCameras::FramesSent(DocCam), 9);
}

TEST_F(Pipeline, DamagedFramesAreSkipped)
{
    TSimulatedCameras::SetDamagedEvery(DocCam, 2);
    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return Presented() >= 15; }));
    EXPECT_TRUE(Cap.Previewing());
    EXPECT_EQ(Cap.ErrorCount, 0);
    EXPECT_EQ(Cap.StartPreviewCount, 1);
    // Every other frame never reached the picture window, and every frame
    // that did is the camera's picture.
    const auto sent = TSimulatedCameras::FramesSent(DocCam);
    EXPECT_LE(Presented(), std::uint64_t(sent / 2 + 2));
    TGrabbed first;
    ASSERT_TRUE(Cap.Grab(first));
    for (int i = 0; i < 6; ++i) {
        TGrabbed next;
        ASSERT_TRUE(Cap.Grab(next));
        EXPECT_TRUE(next.Bytes == first.Bytes) << i;
    }
}

TEST_F(Pipeline, PauseHoldsThePictureAndResumeRebuilds)
{
    TTestVideoCap beforeInit;
    beforeInit.PausePreview();
    EXPECT_EQ(beforeInit.PauseCount, 0);

    ASSERT_TRUE(StartAndWaitForPicture());
    Cap.PausePreview();
    EXPECT_EQ(Cap.PauseCount, 1);
    EXPECT_TRUE(Cap.Previewing());
    Spin(100);
    const auto held = Presented();
    Spin(300);
    EXPECT_EQ(Presented(), held);
    ASSERT_NE(Cap.VideoWindow(), nullptr);

    Cap.ResumePreview();
    EXPECT_EQ(Cap.ResumeCount, 1);
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == 2 && Presented() >= 3; }));
}

TEST_F(Pipeline, AspectRatioChangeRestartsARunningPreview)
{
    ASSERT_TRUE(StartAndWaitForPicture());
    Cap.SetAspectRatio(true);
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == 2; }));
    // The same value again changes nothing.
    Cap.SetAspectRatio(true);
    Spin(200);
    EXPECT_EQ(Cap.StartPreviewCount, 2);
}

TEST_F(Pipeline, GrabbingOnceGivesOneFrame)
{
    ASSERT_TRUE(StartAndWaitForPicture());
    Cap.GrabberCB().SetGrabbingEnabled(true);
    ASSERT_TRUE(WaitUntil([&] { return Cap.FrameReadyCount == 1; }));
    const auto seen = Presented();
    ASSERT_TRUE(WaitUntil([&] { return Presented() >= seen + 5; }));
    EXPECT_EQ(Cap.FrameReadyCount, 1);
    EXPECT_FALSE(Cap.GrabberCB().GrabbingEnabled());
    EXPECT_EQ(Cap.LastGrab.Width, 320);
    EXPECT_EQ(Cap.LastGrab.Height, 240);
    EXPECT_EQ(Cap.LastGrab.Stride, 960);
    EXPECT_EQ(Cap.GrabberCB().BufferLength(), 320u * 240u * 3u);
}

// Mean absolute difference of two frames of the same size.
double Difference(const TGrabbed &a, const TGrabbed &b)
{
    if (a.Width != b.Width || a.Height != b.Height)
        return 1e9;
    double sum = 0;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(int(a.Px(x, y)[c]) - int(b.Px(x, y)[c]));
    return sum / (double(a.Width) * a.Height * 3);
}

// The frame turned as a rotation ordinal says (90 clockwise for 1).
TGrabbed Turned(const TGrabbed &f, int ordinal)
{
    TGrabbed t;
    const bool swap = ordinal == 1 || ordinal == 3;
    t.Width = swap ? f.Height : f.Width;
    t.Height = swap ? f.Width : f.Height;
    t.Stride = (t.Width * 3 + 3) & ~3;
    t.Bytes.assign(std::size_t(t.Stride) * t.Height, 0);
    for (int y = 0; y < t.Height; ++y)
        for (int x = 0; x < t.Width; ++x) {
            int sx = x, sy = y;
            switch (ordinal) {
            case 1:
                sx = y;
                sy = f.Height - 1 - x;
                break;
            case 2:
                sx = f.Width - 1 - x;
                sy = f.Height - 1 - y;
                break;
            case 3:
                sx = f.Width - 1 - y;
                sy = x;
                break;
            case 4:
                sx = f.Width - 1 - x;
                break;
            case 5:
                sy = f.Height - 1 - y;
                break;
            default:
                break;
            }
            std::copy_n(f.Px(sx, sy), 3, &t.Bytes[std::size_t(y) * t.Stride + std::size_t(x) * 3]);
        }
    return t;
}

TEST_F(Pipeline, RotationRestartsThePreviewAndTurnsThePicture)
{
    ASSERT_TRUE(StartAndWaitForPicture());
    TGrabbed upright;
    ASSERT_TRUE(Cap.Grab(upright));
    Cap.StopPreview();

    for (int ordinal = 1; ordinal <= 5; ++ordinal) {
        SCOPED_TRACE(ordinal);
        const int changes = Cap.ChangeFilterCount, starts = Cap.StartPreviewCount;
        // Written while stopped: the preview starts.
        Cap.SetVideoRotate(TVideoRotationType(ordinal));
        EXPECT_EQ(Cap.ChangeFilterCount, changes + 1);
        EXPECT_TRUE(Cap.Previewing());
        ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == starts + 1; }));
        const bool swap = ordinal == 1 || ordinal == 3;
        EXPECT_EQ(Cap.VideoWidth(), swap ? 240 : 320);
        EXPECT_EQ(Cap.VideoHeight(), swap ? 320 : 240);
        TGrabbed turned;
        ASSERT_TRUE(Cap.Grab(turned));
        ASSERT_EQ(turned.Width, Cap.VideoWidth());
        ASSERT_EQ(turned.Height, Cap.VideoHeight());
        // The picture turned by hand, and far from the other turns of the
        // same size.
        const double match = Difference(turned, Turned(upright, ordinal));
        EXPECT_LT(match, 0.5);
        for (int other = 1; other <= 5; ++other) {
            if (other != ordinal && (other == 1 || other == 3) == swap) {
                EXPECT_GT(Difference(turned, Turned(upright, other)), 20.0) << other;
            }
        }
        Cap.StopPreview();
    }
}

TEST_F(Pipeline, EffectsActOnTheRealFrames)
{
    ASSERT_TRUE(StartAndWaitForPicture());
    TGrabbed plain;
    ASSERT_TRUE(Cap.Grab(plain));

    const int changes = Cap.ChangeFilterCount;
    Cap.SetInvertColor(true);
    Cap.SetGrayscale(true);
    Cap.SetHorizontal(true);
    Cap.SetVertical(true);
    Cap.SetSelectionMode(true);
    EXPECT_EQ(Cap.ChangeFilterCount, changes + 5);
    const TRect tint{40, 30, 200, 100};
    Cap.GrabberCB().SetSelectionRect(tint);
    Spin(100); // a frame in flight may still carry the old settings
    TGrabbed processed;
    ASSERT_TRUE(Cap.Grab(processed));

    // The still picture comes out of the decoder the same every time, so the
    // processed frame is exactly the plain one with the effects applied.
    TGrabbed expected = plain;
    ReferenceEffects(expected.Bytes.data(), expected.Width, expected.Height, expected.Stride,
                     {true, true, true, true, true, tint});
    ASSERT_EQ(processed.Width, expected.Width);
    EXPECT_TRUE(processed.Bytes == expected.Bytes);

    // Off again: the camera's own picture.
    Cap.SetInvertColor(false);
    Cap.SetGrayscale(false);
    Cap.SetHorizontal(false);
    Cap.SetVertical(false);
    Cap.SetSelectionMode(false);
    Spin(100);
    TGrabbed restored;
    ASSERT_TRUE(Cap.Grab(restored));
    EXPECT_TRUE(restored.Bytes == plain.Bytes);
}

TEST_F(Pipeline, MirrorsWrittenWhileStoppedReachTheNextBuild)
{
    ASSERT_TRUE(StartAndWaitForPicture());
    TGrabbed plain;
    ASSERT_TRUE(Cap.Grab(plain));
    Cap.StopPreview();

    // Written while no pipeline runs: read back at once, held by the grabber.
    Cap.SetHorizontal(true);
    Cap.SetVertical(true);
    EXPECT_TRUE(Cap.Horizontal());
    EXPECT_TRUE(Cap.Vertical());
    EXPECT_TRUE(Cap.GrabberCB().FlipHorz());
    EXPECT_TRUE(Cap.GrabberCB().FlipVert());

    // The next build's frames are mirrored both ways, from its first one.
    ASSERT_TRUE(StartAndWaitForPicture());
    TGrabbed mirrored;
    ASSERT_TRUE(Cap.Grab(mirrored));
    TGrabbed expected = plain;
    ReferenceEffects(expected.Bytes.data(), expected.Width, expected.Height, expected.Stride,
                     {false, false, true, true, false, {}});
    ASSERT_EQ(mirrored.Width, expected.Width);
    EXPECT_TRUE(mirrored.Bytes == expected.Bytes);
}

} // namespace
