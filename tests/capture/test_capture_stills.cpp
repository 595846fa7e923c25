// Stills on simulated cameras through the real pipeline: the whole picture
// upright at its own size (rotation and effects in it, zoom not), the crop of
// selection mode clipped to the picture, one still per request, none without
// a picture or while recording, the window copy, and the camera's snapshot
// button with its wait.
#include "CaptureTestSupport.h"
#include "ReferenceEffects.h"
#include "capture/component/VideoWindow.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

const QString StillCam = QStringLiteral("usb#VID_0000&PID_2003#stills");
const QColor Background(40, 0, 90);

// The component with its still events counted; it can mark itself as
// recording, as a recording start does.
class TStillCap : public TCustomVideoCap
{
public:
    TStillCap()
    {
        SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
        resize(640, 360);
        SetAspectRatio(true);
        SetBackgroundColor(Background);
        OnStartPreview = [this](TCustomVideoCap *) {
            ++Starts;
        };
        OnCaptureEvent = [this](TCustomVideoCap *) {
            ++CaptureEvents;
            SinceCaptureEvent.start();
        };
        OnCapturedEvent = [this](TCustomVideoCap *, const QImage &image) {
            Stills.push_back(image.copy());
            StillAfterMs.push_back(SinceCaptureEvent.isValid() ? SinceCaptureEvent.elapsed() : -1);
        };
    }
    void SetRecordingFlag(bool v)
    {
        if (v)
            RecordSession().Hold();
        else
            RecordSession().Stop();
    }

    int Starts = 0, CaptureEvents = 0;
    std::vector<QImage> Stills;
    std::vector<qint64> StillAfterMs;
    QElapsedTimer SinceCaptureEvent;
};

// Pixels of the window copy inside `window` (the picture window's place)
// that are not the frame's nearest pixel.
int MismatchedPixels(const QImage &copy, const QImage &frame, const QRect &window)
{
    int wrong = 0;
    const QRect shown = window.intersected(copy.rect());
    for (int y = shown.top(); y <= shown.bottom(); ++y)
        for (int x = shown.left(); x <= shown.right(); ++x) {
            const std::int64_t wx = x - window.x(), wy = y - window.y();
            const int sx = int((2 * wx + 1) * frame.width() / (2 * std::int64_t(window.width())));
            const int sy = int((2 * wy + 1) * frame.height() / (2 * std::int64_t(window.height())));
            wrong += copy.pixel(x, y) != frame.pixel(sx, sy);
        }
    return wrong;
}

class Stills : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TCustomVideoCap::MinZoom = 0.1f;
        TSimulatedCameras::Clear();
        TSimulatedCameras::Add(
            SimCamera(QStringLiteral("Still Cam"), StillCam,
                      {{640, 480, true, 15}, {1600, 1200, true, 5}, {322, 242, true, 15}}));
        ASSERT_TRUE(Cap.Init());
        Cap.SetVideoDeviceIndex(0);
    }
    void TearDown() override
    {
        Cap.StopPreview();
        TSimulatedCameras::Clear();
    }

    bool Start()
    {
        const int starts = Cap.Starts;
        return Cap.StartPreview() && WaitUntil([&] { return Cap.Starts > starts; }) &&
               WaitUntil([&] { return Presented() >= 2; });
    }
    std::uint64_t Presented() const
    {
        return Cap.VideoWindow() ? Cap.VideoWindow()->FramesPresented() : 0;
    }
    // Lets `frames` more frames pass the picture window.
    bool LetFramesPass(int frames)
    {
        const auto seen = Presented();
        return WaitUntil([&] { return Presented() >= seen + std::uint64_t(frames); });
    }
    // Asks for a still and waits for it.
    QImage Still(const TRect *rect = nullptr)
    {
        const std::size_t before = Cap.Stills.size();
        if (rect)
            Cap.CaptureRect(*rect);
        else
            Cap.CaptureVideo();
        if (!WaitUntil([&] { return Cap.Stills.size() > before; }))
            return {};
        return Cap.Stills.back();
    }
    // The frame the picture window shows, as a 32-bit image.
    QImage Shown() const
    {
        return Cap.VideoWindow()->CurrentImage().convertToFormat(QImage::Format_RGB32);
    }

    TStillCap Cap;
};

TEST_F(Stills, TheWholePictureUprightAtItsOwnSize)
{
    struct Case
    {
        int Width, Height;
        TVideoRotationType Rotation;
        QSize Expected;
    };
    const Case cases[] = {
        {1600, 1200, vrtNone, {1600, 1200}},
        {1600, 1200, vrt90, {1200, 1600}},
        // 322 x 3 bytes is not a multiple of 4: the rows are padded.
        {322, 242, vrt180, {322, 242}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.Width << "x" << c.Height << " turned " << int(c.Rotation));
        Cap.StopPreview();
        ASSERT_TRUE(Cap.setVideoSize(c.Width, c.Height, QStringLiteral("MJPG")));
        Cap.SetVideoRotate(c.Rotation); // starts the preview
        ASSERT_TRUE(WaitUntil([&] { return Cap.Starts > 0 && Presented() >= 2; }));
        Cap.Starts = 0;
        const QImage still = Still();
        ASSERT_EQ(still.size(), c.Expected);
        EXPECT_EQ(still.format(), QImage::Format_RGB32);
        // Exactly the picture the window shows (every frame of the camera is
        // the same), top row first.
        EXPECT_TRUE(still == Shown());
    }
}

TEST_F(Stills, EffectsAreInTheStillTheZoomIsNot)
{
    ASSERT_TRUE(Start());
    const QImage plain = Still();
    ASSERT_EQ(plain.size(), QSize(640, 480));

    Cap.SetGrayscale(true);
    Cap.SetHorizontal(true);
    Cap.SetZoom(3.0f);
    LetFramesPass(2); // a frame in flight may carry the old settings
    const QImage processed = Still();

    // The plain still with the grabber's effects applied by the reference.
    QImage bgr = plain.convertToFormat(QImage::Format_BGR888);
    ReferenceEffects(bgr.bits(), bgr.width(), bgr.height(), int(bgr.bytesPerLine()),
                     {false, true, true, false, false, {}});
    EXPECT_EQ(processed.size(), QSize(640, 480));
    EXPECT_TRUE(processed == bgr.convertToFormat(QImage::Format_RGB32));
    EXPECT_FALSE(processed == plain);
}

TEST_F(Stills, SelectionModeCropsToTheRectangleWithinThePicture)
{
    ASSERT_TRUE(Start());
    const QImage whole = Still();
    ASSERT_EQ(whole.size(), QSize(640, 480));

    // Outside selection mode the rectangle does not matter.
    const TRect part{100, 50, 300, 250};
    EXPECT_TRUE(Still(&part) == whole);

    Cap.SetSelectionMode(true);
    struct Case
    {
        TRect Asked;
        QRect Expected; // of the whole picture
    };
    const Case cases[] = {
        {{100, 50, 300, 250}, {100, 50, 200, 200}},
        {{0, 0, 640, 480}, {0, 0, 640, 480}},
        // Reaching outside the picture: clipped to it.
        {{-50, -20, 100, 60}, {0, 0, 100, 60}},
        {{600, 400, 700, 500}, {600, 400, 40, 80}},
        {{-10, -10, 1000, 1000}, {0, 0, 640, 480}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.Asked.Left << "," << c.Asked.Top << ","
                                        << c.Asked.Right << "," << c.Asked.Bottom);
        const QImage still = Still(&c.Asked);
        EXPECT_EQ(still.size(), c.Expected.size());
        EXPECT_TRUE(still == whole.copy(c.Expected));
    }
    // CaptureVideo asks for the whole picture.
    EXPECT_TRUE(Still() == whole);

    // A rectangle that holds no picture gives no still.
    TCaptureLog log;
    const std::size_t stills = Cap.Stills.size();
    for (const TRect &none : {TRect{700, 10, 800, 20}, TRect{10, 10, 10, 20}}) {
        Cap.CaptureRect(none);
        ASSERT_TRUE(WaitUntil([&] { return !Cap.GrabberCB().GrabbingEnabled(); }));
        LetFramesPass(3);
    }
    EXPECT_EQ(Cap.Stills.size(), stills);
    EXPECT_EQ(log.Lines().filter(QStringLiteral("no still")).size(), 2);
}

TEST_F(Stills, TwoRequestsBeforeAFrameGiveOneStill)
{
    ASSERT_TRUE(Start());
    Cap.CaptureVideo();
    Cap.CaptureVideo();
    ASSERT_TRUE(WaitUntil([&] { return Cap.Stills.size() == 1; }));
    LetFramesPass(5);
    EXPECT_EQ(Cap.Stills.size(), 1u);
    // A later request gives the next one.
    Still();
    EXPECT_EQ(Cap.Stills.size(), 2u);
}

TEST_F(Stills, NoPictureNoStill)
{
    // Before any preview, and after one stopped: nothing is armed.
    Cap.CaptureVideo();
    EXPECT_FALSE(Cap.GrabberCB().GrabbingEnabled());
    ASSERT_TRUE(Start());
    Cap.StopPreview();
    const TRect all{0, 0, 640, 480};
    Cap.CaptureRect(all);
    EXPECT_FALSE(Cap.GrabberCB().GrabbingEnabled());
    Spin(300);
    EXPECT_TRUE(Cap.Stills.empty());

    // Armed, then stopped before the frame: the restart drops the request.
    ASSERT_TRUE(Start());
    Cap.PausePreview();
    Cap.CaptureVideo();
    Cap.ResumePreview();
    ASSERT_TRUE(WaitUntil([&] { return Cap.Starts == 3; }));
    LetFramesPass(5);
    EXPECT_TRUE(Cap.Stills.empty());
}

TEST_F(Stills, NoStillWhileRecording)
{
    ASSERT_TRUE(Start());
    Cap.SetRecordingFlag(true);
    Cap.CaptureVideo();
    LetFramesPass(5);
    EXPECT_TRUE(Cap.Stills.empty());
    Cap.SetRecordingFlag(false);
}

TEST_F(Stills, TheWindowCopyShowsWhatTheControlShows)
{
    // Without a picture: the control's colour at the control's size.
    QImage copy = Cap.CaptureWindow();
    ASSERT_EQ(copy.size(), QSize(640, 360));
    EXPECT_EQ(copy.format(), QImage::Format_RGB888);
    for (const QPoint p : {QPoint(0, 0), QPoint(320, 180), QPoint(639, 359)})
        EXPECT_EQ(copy.pixelColor(p), Background);
    EXPECT_EQ(copy.convertToFormat(QImage::Format_RGB32), [] {
        QImage filled(640, 360, QImage::Format_RGB32);
        filled.fill(Background);
        return filled;
    }());

    // The picture at zoom 1, centred, pixel for pixel, with its effects; the
    // background around it.
    ASSERT_TRUE(Start());
    Cap.SetInvertColor(true);
    Cap.SetZoom(1.0f);
    LetFramesPass(3);
    Cap.PausePreview(); // the window keeps its last frame
    Spin(100);
    const QRect picture(0, -60, 640, 480);
    EXPECT_EQ(Cap.VideoWindow()->geometry(), picture);
    copy = Cap.CaptureWindow().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(copy.size(), QSize(640, 360));
    EXPECT_TRUE(copy == Shown().copy(0, 60, 640, 360));

    // Zoomed out below the fit: the picture in the middle, the background
    // beside it.
    TCustomVideoCap::MinZoom = 0.1f;
    Cap.SetZoom(0.5f);
    copy = Cap.CaptureWindow();
    EXPECT_EQ(Cap.VideoWindow()->geometry(), QRect(160, 60, 320, 240));
    EXPECT_EQ(copy.pixelColor(100, 180), Background);
    EXPECT_EQ(copy.pixelColor(540, 180), Background);
    EXPECT_EQ(copy.pixelColor(320, 20), Background);
    EXPECT_EQ(MismatchedPixels(copy, Shown(), Cap.VideoWindow()->geometry()), 0);

    // Zoomed in and panned to the bottom right corner: what the control
    // shows of the picture, down to the frame's last pixel.
    Cap.SetZoom(2.0f);
    Cap.SetLocation({-5000, -5000});
    Cap.ResizeWindow();
    Cap.SetZoom(2.5f); // the position is held at the corner
    EXPECT_EQ(Cap.VideoWindow()->geometry(), QRect(-960, -840, 1600, 1200));
    copy = Cap.CaptureWindow();
    EXPECT_EQ(MismatchedPixels(copy, Shown(), Cap.VideoWindow()->geometry()), 0);
}

TEST_F(Stills, TheSnapshotButtonAsksForAStillAfterAWait)
{
    // No picture: a press asks for nothing.
    ASSERT_TRUE(TSimulatedCameras::PressButton(StillCam));
    Spin(200);
    EXPECT_EQ(Cap.CaptureEvents, 0);

    ASSERT_TRUE(Start());
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(100);
    ASSERT_TRUE(TSimulatedCameras::PressButton(StillCam));
    ASSERT_TRUE(WaitUntil([&] { return Cap.CaptureEvents == 1; }, 2000));
    EXPECT_TRUE(Cap.Stills.empty());
    const auto presentedAtPress = Presented();
    ASSERT_TRUE(WaitUntil([&] { return Cap.Stills.size() == 1; }, 5000));
    EXPECT_GE(Cap.StillAfterMs[0], TCustomVideoCap::SnapshotButtonDelayMs);
    EXPECT_EQ(Cap.Stills[0].size(), QSize(640, 480));
    // Meanwhile the UI thread kept running: timers and the live picture.
    EXPECT_GE(ticks, 5);
    EXPECT_GT(Presented(), presentedAtPress + 3);

    // While recording, a press asks for nothing.
    Cap.SetRecordingFlag(true);
    ASSERT_TRUE(TSimulatedCameras::PressButton(StillCam));
    Spin(300);
    EXPECT_EQ(Cap.CaptureEvents, 1);
    Cap.SetRecordingFlag(false);
}

} // namespace
