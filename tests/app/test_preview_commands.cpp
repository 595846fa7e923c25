// The preview commands on the real capture component and a simulated camera:
// what each tag does to the picture, the files and the settings, what the
// window is told, and how failures leave the window usable.
#include "PreviewTestSupport.h"
#include "support/IniFile.h"

#include <QDesktopServices>
#include <QImageReader>
#include <QUrl>

namespace {

const TControlId RecordLocked[] = {
    TPreviewTag::Load,       TPreviewTag::InvertColor, TPreviewTag::GrayScale,
    TPreviewTag::FlipVert,   TPreviewTag::FlipHorz,    TPreviewTag::Rotate,
    TPreviewTag::Resolution, TPreviewTag::AutoFocus,   TPreviewTag::FullScreen,
    TPreviewTag::Wide,       TPreviewTag::Capture,     TPreviewTag::ZoomIn,
    TPreviewTag::ZoomOut,    TTabTag::Drawing};

// A folder path that cannot be created: its parent is a regular file.
QString Unwritable(const TempHome &home)
{
    writeFile(home.file(QStringLiteral("blocker")), "not a folder");
    return home.file(QStringLiteral("blocker/Out"));
}

// Whether an image is grey: each pixel's channels within a JPEG's rounding.
bool IsGrey(const QImage &image)
{
    for (int y = 0; y < image.height(); y += 37)
        for (int x = 0; x < image.width(); x += 37) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - c.green()) > 4 || std::abs(c.green() - c.blue()) > 4)
                return false;
        }
    return true;
}

using PreviewCommands = PreviewFixture;

TEST_F(PreviewCommands, TagsWithoutCommandDoNothing)
{
    const auto enabled = View.Enabled;
    const auto pressed = View.Pressed;
    // A button's integer tag outside the table reaches no command.
    for (int tag : {0, 11, 19, 99, -1}) {
        Click(TPreviewTag(tag));
        Spin(50);
    }
    EXPECT_EQ(View.Enabled, enabled);
    EXPECT_EQ(View.Pressed, pressed);
    EXPECT_TRUE(View.Messages.isEmpty());
    EXPECT_EQ(View.PopupsShown + View.SettingDialogs + View.CameraChoices, 0);
    EXPECT_TRUE(Cap.Previewing());
    EXPECT_EQ(Cap.VideoWidth(), 1600);
    EXPECT_EQ(Commands->PreviewType(), cptPreview);
}

TEST_F(PreviewCommands, EffectTogglesFollowTheComponent)
{
    struct Case
    {
        TPreviewTag Button;
        bool (TCustomVideoCap::*Get)() const;
    };
    const Case cases[] = {{TPreviewTag::InvertColor, &TCustomVideoCap::InvertColor},
                          {TPreviewTag::GrayScale, &TCustomVideoCap::Grayscale},
                          {TPreviewTag::FlipVert, &TCustomVideoCap::Vertical},
                          {TPreviewTag::FlipHorz, &TCustomVideoCap::Horizontal}};
    for (const Case &c : cases) {
        Click(c.Button);
        EXPECT_TRUE((Cap.*c.Get)()) << NameOf(c.Button);
        EXPECT_TRUE(View.IsPressed(c.Button));
        Click(c.Button);
        EXPECT_FALSE((Cap.*c.Get)()) << NameOf(c.Button);
        EXPECT_FALSE(View.IsPressed(c.Button));
    }
}

TEST_F(PreviewCommands, RotateTurnsThePictureAndKeepsTheSetting)
{
    const QString cfg = PathData + QStringLiteral("/Ovilen.cfg");
    Click(TPreviewTag::Rotate);
    EXPECT_EQ(Cap.VideoRotate(), vrt90);
    EXPECT_TRUE(View.IsPressed(TPreviewTag::Rotate));
    EXPECT_EQ(TIniFile(cfg).ReadString("VIDEO", "VideoRotate", {}), QStringLiteral("1"));
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1200);
    EXPECT_EQ(Cap.VideoHeight(), 1600);
    for (int i = 0; i < 3; ++i)
        Click(TPreviewTag::Rotate);
    EXPECT_EQ(Cap.VideoRotate(), vrtNone);
    EXPECT_FALSE(View.IsPressed(TPreviewTag::Rotate));
    EXPECT_EQ(TIniFile(cfg).ReadString("VIDEO", "VideoRotate", {}), QStringLiteral("0"));
    EXPECT_TRUE(WaitForPicture());
}

TEST_F(PreviewCommands, StillIsSavedAsJpegTurnedAndWithItsEffects)
{
    Click(TPreviewTag::Rotate); // a quarter turn
    ASSERT_TRUE(WaitForPicture());
    Click(TPreviewTag::GrayScale);
    Click(TPreviewTag::Capture);
    EXPECT_TRUE(View.Capturing);
    EXPECT_TRUE(Commands->StillPending());
    ASSERT_TRUE(WaitUntil([&] { return !Commands->StillPending(); }));
    EXPECT_FALSE(View.Capturing);
    const QStringList files = FilesIn(Config->PathImage);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}_\\d{2}_\\d{2}_\\d{2}_\\d{2}\\.jpg$"))
                    .match(files[0])
                    .hasMatch())
        << files[0].toStdString();
    QImageReader reader(Config->PathImage + u'/' + files[0]);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    const QImage still = reader.read();
    EXPECT_EQ(still.size(), QSize(1200, 1600));
    EXPECT_TRUE(IsGrey(still));
    EXPECT_TRUE(View.Messages.isEmpty());
}

TEST_F(PreviewCommands, StillInFullScreenHidesTheMenuUntilItIsSaved)
{
    View.FullScreenOn = true;
    Click(TPreviewTag::Capture);
    EXPECT_FALSE(View.MenuVisible);
    EXPECT_FALSE(View.Capturing); // the menu leaves first
    ASSERT_TRUE(WaitUntil([&] { return View.CapturingShown > 0 && !Commands->StillPending(); }));
    EXPECT_TRUE(View.MenuVisible);
    EXPECT_FALSE(View.Capturing);
    EXPECT_EQ(FilesIn(Config->PathImage).size(), 1);
}

TEST_F(PreviewCommands, StalledStillGivesTheWindowBack)
{
    View.FullScreenOn = true;
    // No frame comes: the picture is stopped. (A paused one still lets the
    // frames on their way through the pipeline pass the grabber, one of
    // which could be taken as the still on a busy machine.)
    Cap.StopPreview();
    Click(TPreviewTag::Capture);
    ASSERT_TRUE(WaitUntil([&] { return View.Capturing; }, 2000));
    EXPECT_FALSE(View.MenuVisible);
    Click(TPreviewTag::Capture); // a second click while one is on its way asks for nothing more
    ASSERT_TRUE(WaitUntil([&] { return !View.Capturing; }, 3 * TPreviewCommands::StillTimeoutMs));
    EXPECT_TRUE(View.MenuVisible);
    EXPECT_FALSE(Commands->StillPending());
    EXPECT_EQ(View.CapturingShown, 1);
    EXPECT_TRUE(FilesIn(Config->PathImage).isEmpty());
}

TEST_F(PreviewCommands, StillThatCannotBeWrittenIsReported)
{
    Config->PathImage = Unwritable(Home);
    Click(TPreviewTag::Capture);
    ASSERT_TRUE(WaitUntil([&] { return !View.Messages.isEmpty(); }));
    EXPECT_EQ(View.Messages, QStringList{Language->Msg.m_SaveError});
    EXPECT_EQ(Language->Msg.m_SaveError, QStringLiteral("이미지를 저장하지 못했습니다."));
    EXPECT_FALSE(View.Capturing);
    EXPECT_TRUE(Cap.Previewing());
}

TEST_F(PreviewCommands, RecordingLocksTheMenuAndRestoresThePreview)
{
    UseTestSoundDevice(Home);
    Click(TPreviewTag::Rotate); // the recording is upright; the preview comes back turned
    ASSERT_TRUE(WaitForPicture());
    Click(TPreviewTag::Record);
    ASSERT_TRUE(Cap.Recording());
    for (const TControlId &control : RecordLocked)
        EXPECT_FALSE(View.IsEnabled(control)) << NameOf(control);
    EXPECT_TRUE(View.IsEnabled(TPreviewTag::Record));
    EXPECT_TRUE(View.IsEnabled(TPreviewTag::Setting));
    EXPECT_TRUE(View.IsPressed(TPreviewTag::Record));
    EXPECT_EQ(View.Images[TPreviewTag::Record], QStringLiteral("RES_PREVIEW_MENU_STOP_"));
    ASSERT_TRUE(WaitUntil([&] { return View.RecordTimeVisible; }));
    ASSERT_TRUE(WaitUntil([&] { return View.RecordTime == QStringLiteral("00:00:02"); }));
    EXPECT_EQ(Cap.VideoWidth(), 1280);

    Click(TPreviewTag::Record);
    EXPECT_FALSE(Cap.Recording());
    EXPECT_FALSE(View.RecordTimeVisible);
    for (const TControlId &control : RecordLocked)
        EXPECT_TRUE(View.IsEnabled(control)) << NameOf(control);
    EXPECT_FALSE(View.IsPressed(TPreviewTag::Record));
    EXPECT_EQ(View.Images[TPreviewTag::Record], QStringLiteral("RES_PREVIEW_MENU_RECORDING_"));
    EXPECT_TRUE(View.Messages.isEmpty());
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoRotate(), vrt90);
    EXPECT_EQ(Cap.VideoWidth(), 1200);
    EXPECT_EQ(Cap.VideoHeight(), 1600);

    ASSERT_TRUE(Cap.WaitForFile());
    ExpectRecording(Config->PathMovie, 1.5);
}

TEST_F(PreviewCommands, RecordingThatCannotStartShowsTheErrorAndRestartsThePreview)
{
    Config->PathMovie = Unwritable(Home);
    Click(TPreviewTag::Record);
    EXPECT_FALSE(Cap.Recording());
    EXPECT_EQ(View.Messages, QStringList{Language->Msg.m_RecordError});
    for (const TControlId &control : RecordLocked)
        EXPECT_TRUE(View.IsEnabled(control)) << NameOf(control);
    EXPECT_FALSE(View.IsPressed(TPreviewTag::Record));
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1600);
}

TEST_F(PreviewCommands, AfterAStopThePreviewFallsBackToAModeThatStarts)
{
    // The preview size of before the recording is no longer offered.
    Commands->SetPreviewSize({1024, 768, QStringLiteral("MJPG")});
    Click(TPreviewTag::Record);
    ASSERT_TRUE(Cap.Recording());
    ASSERT_TRUE(WaitUntil([&] { return View.RecordTimeVisible; }));
    Click(TPreviewTag::Record);
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1600);
    EXPECT_EQ(Commands->PreviewSize().Width, 1600);
    EXPECT_EQ(View.ResolutionText, QStringLiteral("1600x1200"));
    EXPECT_EQ(Config->VideoDevice.Format, QStringLiteral("1600x1200 MJPG"));
}

TEST_F(PreviewCommands, CameraLostDuringARecordingLeavesAPlayableFileAndAUsableMenu)
{
    Click(TPreviewTag::Record);
    ASSERT_TRUE(Cap.Recording());
    ASSERT_TRUE(WaitUntil([&] { return View.RecordTime == QStringLiteral("00:00:01"); }));
    ASSERT_TRUE(TSimulatedCameras::DropOut(PreviewCam));
    ASSERT_TRUE(WaitUntil([&] { return !Cap.Recording() && View.IsEnabled(TPreviewTag::Load); }));
    EXPECT_FALSE(View.RecordTimeVisible);
    EXPECT_FALSE(View.IsPressed(TPreviewTag::Record));
    ASSERT_TRUE(Cap.WaitForFile());
    EXPECT_GT(RecordedFrames(Config->PathMovie), 5u);

    // The camera comes back and is opened again: recording works again.
    ASSERT_TRUE(TSimulatedCameras::PlugIn(PreviewCam));
    OpenCamera();
    Click(TPreviewTag::Record);
    EXPECT_TRUE(Cap.Recording());
}

TEST_F(PreviewCommands, ResolutionPopupListsMjpegModesAndMarksTheModeInUseWhenTurned)
{
    Click(TPreviewTag::Rotate); // 90°: the picture is 1200 x 1600, the mode still 1600 x 1200
    ASSERT_TRUE(WaitForPicture());
    Click(TPreviewTag::Resolution);
    ASSERT_EQ(View.PopupsShown, 1);
    std::vector<std::pair<QString, bool>> lines;
    for (const TResolutionItem &item : View.PopupItems)
        lines.emplace_back(item.Text, item.Current);
    EXPECT_EQ(
        lines,
        (std::vector<std::pair<QString, bool>>{
            {"1600x1200", true}, {"1280x720", false}, {"800x600", false}, {"640x480", false}}));
}

TEST_F(PreviewCommands, ChosenResolutionIsAppliedShownAndKept)
{
    Click(TPreviewTag::Resolution);
    ASSERT_TRUE(View.ChooseResolution);
    View.ChooseResolution(QStringLiteral("1280x720 (MJPG)"));
    EXPECT_TRUE(View.Messages.isEmpty());
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1280);
    EXPECT_EQ(Cap.VideoHeight(), 720);
    EXPECT_EQ(View.ResolutionText, QStringLiteral("1280x720"));
    EXPECT_EQ(Commands->PreviewSize().Width, 1280);
    EXPECT_EQ(Config->VideoDevice.Format, QStringLiteral("1280x720 MJPG"));
    Click(TPreviewTag::Resolution);
    EXPECT_TRUE(View.PopupItems[1].Current);
}

TEST_F(PreviewCommands, RefusedResolutionKeepsThePreviousMode)
{
    Click(TPreviewTag::Resolution);
    View.ChooseResolution(QStringLiteral("800x600 (MJPG)"));
    EXPECT_EQ(View.Messages, QStringList{Language->Msg.m_NotSupportRes});
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1600);
    EXPECT_EQ(View.ResolutionText, QStringLiteral("1600x1200"));
    EXPECT_EQ(Commands->PreviewSize().Width, 1600);
    EXPECT_EQ(Config->VideoDevice.Format, QStringLiteral("1600x1200 MJPG"));
}

TEST_F(PreviewCommands, ModeThatFailsBeforeItsFirstFrameIsNotKept)
{
    // The camera takes the mode, then its stream fails at once.
    ASSERT_TRUE(TSimulatedCameras::SetDropAfterFrames(PreviewCam, 0));
    Click(TPreviewTag::Resolution);
    View.ChooseResolution(QStringLiteral("1280x720 (MJPG)"));
    ASSERT_TRUE(WaitUntil([&] { return !View.Messages.isEmpty(); }));
    EXPECT_EQ(View.Messages, QStringList{Language->Msg.m_NotSupportRes});
    EXPECT_EQ(View.ResolutionText, QStringLiteral("1600x1200"));
    EXPECT_EQ(Commands->PreviewSize().Width, 1600);
    EXPECT_EQ(Config->VideoDevice.Format, QStringLiteral("1600x1200 MJPG"));
    EXPECT_FALSE(View.Waiting);
    // The camera recovers: the previous mode runs again when the camera is opened.
    ASSERT_TRUE(TSimulatedCameras::SetDropAfterFrames(PreviewCam, -1));
    EXPECT_TRUE(Commands->RestorePreview());
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1600);
    EXPECT_EQ(View.Messages.size(), 1);
}

TEST_F(PreviewCommands, OpeningTheCameraTakesTheFirstMjpegModeThatRunsWhenTheConfiguredOneDoesNot)
{
    struct Case
    {
        const char *Configured;
        const char *Why;
    };
    const Case cases[] = {{"800x600 MJPG", "listed, but the camera refuses to start in it"},
                          {"1024x768 MJPG", "not offered at all"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Why);
        Config->VideoDevice.Format = QLatin1String(c.Configured);
        Config->VideoRotate = int(vrt90);
        OpenCamera();
        EXPECT_EQ(Cap.CaptureMode().Width, 1600);
        EXPECT_EQ(Cap.CaptureMode().Height, 1200);
        EXPECT_EQ(Cap.VideoRotate(), vrt90);
        EXPECT_EQ(View.ResolutionText, QStringLiteral("1600x1200"));
        EXPECT_EQ(Commands->PreviewSize().Width, 1600);
        EXPECT_EQ(Config->VideoDevice.Format, QStringLiteral("1600x1200 MJPG"));
        EXPECT_FALSE(View.Waiting);
        EXPECT_TRUE(View.Messages.isEmpty());
    }
}

TEST_F(PreviewCommands, OpeningWithoutACameraToBindStartsNothing)
{
    View.CameraBound = false;
    const int binds = View.CameraBinds;
    EXPECT_FALSE(Commands->OpenCamera());
    EXPECT_EQ(View.CameraBinds, binds + 1);
    EXPECT_FALSE(Cap.Previewing());
    EXPECT_TRUE(View.Waiting) << "the notice stays until the program ends";
    Spin(200);
    EXPECT_FALSE(Cap.Previewing());
}

TEST_F(PreviewCommands, LoadedPictureIsShownZoomedWithinLimitsAndLeftWithBack)
{
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    View.FileToOpen = Home.file(QStringLiteral("Page.PnG"));
    ASSERT_TRUE(picture.save(View.FileToOpen, "PNG"));
    Click(TPreviewTag::Load);
    EXPECT_TRUE(View.LastFilter.startsWith(QStringLiteral("Image|*.PNG;")));
    EXPECT_EQ(View.Image.size(), QSize(300, 200));
    EXPECT_EQ(View.Image.pixelColor(10, 10), QColor(Qt::darkCyan));
    EXPECT_EQ(Commands->PreviewType(), cptImage);
    EXPECT_EQ(View.Layout, cptImage);
    using enum TPreviewTag;
    for (const TPreviewTag button : {Back, ZoomIn, ZoomOut, FullScreen, Load})
        EXPECT_TRUE(View.IsEnabled(button)) << NameOf(button);
    for (const TPreviewTag button :
         {Capture, Record, Wide, InvertColor, GrayScale, Rotate, Resolution})
        EXPECT_FALSE(View.IsEnabled(button)) << NameOf(button);

    const QString liveZoomText = View.ZoomText;
    const float liveZoom = Cap.Zoom();
    Click(TPreviewTag::ZoomIn);
    EXPECT_DOUBLE_EQ(View.Scale, 1.2);
    for (int i = 0; i < 10; ++i)
        Click(TPreviewTag::ZoomOut);
    EXPECT_DOUBLE_EQ(View.Scale, 0.2);
    for (int i = 0; i < 60; ++i)
        Click(TPreviewTag::ZoomIn);
    EXPECT_DOUBLE_EQ(View.Scale, 10.0);
    EXPECT_EQ(View.ZoomText, liveZoomText); // the live picture's zoom only
    EXPECT_FLOAT_EQ(Cap.Zoom(), liveZoom);

    Click(TPreviewTag::Back);
    EXPECT_EQ(Commands->PreviewType(), cptPreview);
    EXPECT_EQ(View.Layout, cptPreview);
    EXPECT_FALSE(View.IsEnabled(TPreviewTag::Back));
    EXPECT_TRUE(View.IsEnabled(TPreviewTag::Capture));
    EXPECT_TRUE(WaitForPicture());
}

TEST_F(PreviewCommands, BrokenOrUnknownFilesLeaveTheLivePicture)
{
    View.FileToOpen = Home.file(QStringLiteral("broken.jpg"));
    writeFile(View.FileToOpen, "this is not a picture");
    Click(TPreviewTag::Load);
    EXPECT_EQ(View.Messages, QStringList{Language->Msg.m_LoadError});
    EXPECT_EQ(Commands->PreviewType(), cptPreview);
    EXPECT_TRUE(View.Image.isNull());
    EXPECT_TRUE(Cap.Previewing());

    // Only a whole extension of the list counts, and a vanished file is ignored.
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (const char *name : {"page.JP", "page.P", "gone.png"}) {
        View.FileToOpen = Home.file(QString::fromLatin1(name));
        if (QLatin1String(name) != QLatin1String("gone.png")) {
            ASSERT_TRUE(picture.save(View.FileToOpen, "PNG"));
        }
        Click(TPreviewTag::Load);
    }
    EXPECT_EQ(View.Messages.size(), 1);
    EXPECT_EQ(Commands->PreviewType(), cptPreview);
    EXPECT_TRUE(View.Image.isNull());
}

TEST_F(PreviewCommands, VideoFileIsHandedToTheDesktopPlayer)
{
    TUrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    View.FileToOpen = Home.file(QStringLiteral("Lesson 1.MP4"));
    writeFile(View.FileToOpen, "a recording");
    Click(TPreviewTag::Load);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(catcher.Urls, QList<QUrl>{QUrl::fromLocalFile(View.FileToOpen)});
    EXPECT_EQ(Commands->PreviewType(), cptPreview);
    EXPECT_TRUE(View.Messages.isEmpty());
    EXPECT_TRUE(Cap.Previewing());
}

TEST_F(PreviewCommands, LiveZoomAndSplitView)
{
    // The picture starts fitted to the control's height (360 / 1200).
    EXPECT_FLOAT_EQ(Cap.Zoom(), 0.3f);
    EXPECT_EQ(View.ZoomText, QStringLiteral("30%"));
    Click(TPreviewTag::ZoomIn);
    EXPECT_FLOAT_EQ(Cap.Zoom(), 0.4f);
    EXPECT_EQ(View.ZoomText, QStringLiteral("40%"));
    Click(TPreviewTag::ZoomIn);
    Click(TPreviewTag::ZoomOut);
    EXPECT_EQ(View.ZoomText, QStringLiteral("40%"));

    Commands->SetPreviewType(cptSplit);
    EXPECT_EQ(View.Layout, cptSplit);
    ASSERT_TRUE(WaitForPicture());
    EXPECT_TRUE(View.IsEnabled(TPreviewTag::Back));
    EXPECT_TRUE(View.IsEnabled(TPreviewTag::Record));
    EXPECT_FALSE(View.IsEnabled(TPreviewTag::Capture));
    EXPECT_FALSE(View.IsEnabled(TPreviewTag::Wide));
    const float before = Cap.Zoom();
    Click(TPreviewTag::ZoomIn);
    EXPECT_FLOAT_EQ(Cap.Zoom(), before + 0.1f);
    EXPECT_DOUBLE_EQ(View.Scale, 1.0);
}

TEST_F(PreviewCommands, AutofocusDrivesTheCameraFocus)
{
    Cap.SetMFFocus(100);
    ASSERT_EQ(Cap.MFFocus(), 100);
    Click(TPreviewTag::AutoFocus);
    int low = -1, high = -1, focus = -1;
    Cap.GetFocusRange(low, high, focus);
    EXPECT_EQ(focus, std::clamp(250, low, high));
    EXPECT_TRUE(Cap.Previewing());
}

TEST_F(PreviewCommands, FullScreenWideSettingsAndCamera)
{
    Click(TPreviewTag::FullScreen);
    EXPECT_TRUE(View.FullScreenOn);
    EXPECT_TRUE(View.IsPressed(TPreviewTag::FullScreen));
    Click(TPreviewTag::FullScreen);
    EXPECT_FALSE(View.FullScreenOn);
    EXPECT_FALSE(View.IsPressed(TPreviewTag::FullScreen));

    Click(TPreviewTag::Wide);
    EXPECT_TRUE(Cap.WideMOde());
    EXPECT_EQ(View.Images[TPreviewTag::Wide], QStringLiteral("RES_PREVIEW_MENU_4_3_"));
    Click(TPreviewTag::Wide);
    EXPECT_FALSE(Cap.WideMOde());
    EXPECT_EQ(View.Images[TPreviewTag::Wide], QStringLiteral("RES_PREVIEW_MENU_16_9_"));

    Click(TPreviewTag::Setting);
    EXPECT_EQ(View.SettingDialogs, 1);

    Click(TPreviewTag::Camera); // one camera: nothing to choose
    EXPECT_EQ(View.CameraChoices, 1);
    EXPECT_EQ(View.OpenCameraPosts, 0);
    View.CameraChosen = true;
    Click(TPreviewTag::Camera);
    EXPECT_EQ(View.OpenCameraPosts, 1);
}

} // namespace
