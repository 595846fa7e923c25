// Ten thousand damaged JPEG frames mixed into a fast stream: the decoder
// skips each, the preview never stops, and the picture keeps coming.
#include "CaptureTestSupport.h"
#include "capture/component/VideoWindow.h"

namespace {

const QString FastCam = QStringLiteral("usb#VID_0000&PID_2003#fast0");

// Keeps the capture layer's note on each skipped frame out of the output;
// everything else is printed.
class TQuietCaptureLog
{
public:
    TQuietCaptureLog() { FPrevious = qInstallMessageHandler(&Handler); }
    ~TQuietCaptureLog() { qInstallMessageHandler(FPrevious); }

private:
    static void Handler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
    {
        if (type < QtWarningMsg && ctx.category && QByteArray(ctx.category) == "ovilen.capture")
            return;
        fprintf(stderr, "%s: %s\n", ctx.category ? ctx.category : "", qPrintable(msg));
    }
    QtMessageHandler FPrevious = nullptr;
};

TEST(DamagedFrames, TenThousandAreSkippedAndThePictureRuns)
{
    TSimulatedCameras::Clear();
    // Small frames at 1000 per second: 20,000 frames, every other one damaged.
    TSimulatedCameras::Add(
        SimCamera(QStringLiteral("Fast Cam"), FastCam, {{160, 120, true, 1000}}));
    TTestVideoCap cap;
    ASSERT_TRUE(cap.Init());
    cap.SetVideoDeviceIndex(0);
    ASSERT_TRUE(cap.setVideoSize(160, 120, QStringLiteral("MJPG")));
    ASSERT_TRUE(cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return cap.StartPreviewCount == 1; }));
    TGrabbed before;
    ASSERT_TRUE(cap.Grab(before));

    TQuietCaptureLog quiet;
    ASSERT_NE(cap.VideoWindow(), nullptr);
    const std::uint64_t presentedFirst = cap.VideoWindow()->FramesPresented();
    const std::int64_t first = TSimulatedCameras::FramesSent(FastCam);
    ASSERT_TRUE(TSimulatedCameras::SetDamagedEvery(FastCam, 2));
    constexpr std::int64_t Damaged = 10'000;
    ASSERT_TRUE(WaitUntil(
        [&] {
            return !cap.Previewing() ||
                   TSimulatedCameras::FramesSent(FastCam) - first >= 2 * Damaged + 2;
        },
        600'000));
    ASSERT_NE(cap.VideoWindow(), nullptr);
    const std::uint64_t presentedLast = cap.VideoWindow()->FramesPresented();
    const std::int64_t sent = TSimulatedCameras::FramesSent(FastCam) - first;
    TSimulatedCameras::SetDamagedEvery(FastCam, 0);

    EXPECT_TRUE(cap.Previewing());
    EXPECT_EQ(cap.ErrorCount, 0);
    EXPECT_EQ(cap.StopPreviewCount, 0);
    std::printf("%lld frames sent, %lld damaged, %llu presented\n", (long long)sent,
                (long long)(sent / 2), (unsigned long long)(presentedLast - presentedFirst));
    // No damaged frame reached the picture, and the good ones did.
    EXPECT_LE(presentedLast - presentedFirst, std::uint64_t(sent / 2 + 2));
    EXPECT_GT(presentedLast, presentedFirst);
    // The picture keeps coming, and it is the camera's own.
    const std::uint64_t presented = cap.VideoWindow()->FramesPresented();
    EXPECT_TRUE(WaitUntil([&] { return cap.VideoWindow()->FramesPresented() >= presented + 20; }));
    for (int i = 0; i < 3; ++i) {
        TGrabbed after;
        ASSERT_TRUE(cap.Grab(after));
        EXPECT_TRUE(after.Bytes == before.Bytes) << i;
    }
    cap.StopPreview();
    TSimulatedCameras::Clear();
}

} // namespace
