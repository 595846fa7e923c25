// The preview commands on the real capture component and a simulated camera:
// what each tag does to the picture, the files and the settings, what the
// window is told, and how failures leave the window usable.
#include "PreviewTestSupport.h"
#include "support/IniFile.h"

#include <QDesktopServices>
#include <QImageReader>
#include <QUrl>

namespace {

const char *const RecordLocked[] = {"btnPreview_Load",       "btnPreview_InvertColor",
                                    "btnPreview_GrayScale",  "btnPreview_FlipVert",
                                    "btnPreview_FlipHorz",   "btnPreview_Rotate",
                                    "btnPreview_Resolution", "btnPreview_AutoFocus",
                                    "btnPreview_FullScreen", "btnPreview_Wide",
                                    "btnPreview_Capture",    "btnPreview_ZoomIn",
                                    "btnPreview_ZoomOut",    "tabDrawing"};

// Receives what QDesktopServices would hand to the desktop.
class TUrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> Urls;
public slots:
    void open(const QUrl &url) { Urls << url; }
};

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
    for (int tag : {0, 11, 19, 99, -1}) {
        Click(tag);
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
        int Tag;
        const char *Button;
        bool (TCustomVideoCap::*Get)() const;
    };
    const Case cases[] = {{6, "btnPreview_InvertColor", &TCustomVideoCap::InvertColor},
                          {7, "btnPreview_GrayScale", &TCustomVideoCap::Grayscale},
                          {8, "btnPreview_FlipVert", &TCustomVideoCap::Vertical},
                          {9, "btnPreview_FlipHorz", &TCustomVideoCap::Horizontal}};
    for (const Case &c : cases) {
        Click(c.Tag);
        EXPECT_TRUE((Cap.*c.Get)()) << c.Button;
        EXPECT_TRUE(View.IsPressed(c.Button));
        Click(c.Tag);
        EXPECT_FALSE((Cap.*c.Get)()) << c.Button;
        EXPECT_FALSE(View.IsPressed(c.Button));
    }
}

TEST_F(PreviewCommands, RotateTurnsThePictureAndKeepsTheSetting)
{
    const QString cfg = PathData + QStringLiteral("/Ovilen.cfg");
    Click(10);
    EXPECT_EQ(Cap.VideoRotate(), vrt90);
    EXPECT_TRUE(View.IsPressed("btnPreview_Rotate"));
    EXPECT_EQ(TIniFile(cfg).ReadString("VIDEO", "VideoRotate", {}), QStringLiteral("1"));
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1200);
    EXPECT_EQ(Cap.VideoHeight(), 1600);
    for (int i = 0; i < 3; ++i)
        Click(10);
    EXPECT_EQ(Cap.VideoRotate(), vrtNone);
    EXPECT_FALSE(View.IsPressed("btnPreview_Rotate"));
    EXPECT_EQ(TIniFile(cfg).ReadString("VIDEO", "VideoRotate", {}), QStringLiteral("0"));
    EXPECT_TRUE(WaitForPicture());
}

TEST_F(PreviewCommands, StillIsSavedAsJpegTurnedAndWithItsEffects)
{
    Click(10); // a quarter turn
    ASSERT_TRUE(WaitForPicture());
    Click(7); // grayscale
    Click(2);
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
    Click(2);
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
    Cap.PausePreview(); // no frame comes
    Click(2);
    ASSERT_TRUE(WaitUntil([&] { return View.Capturing; }, 2000));
    EXPECT_FALSE(View.MenuVisible);
    Click(2); // a second click while one is on its way asks for nothing more
    ASSERT_TRUE(WaitUntil([&] { return !View.Capturing; }, 3 * TPreviewCommands::StillTimeoutMs));
    EXPECT_TRUE(View.MenuVisible);
    EXPECT_FALSE(Commands->StillPending());
    EXPECT_EQ(View.CapturingShown, 1);
    EXPECT_TRUE(FilesIn(Config->PathImage).isEmpty());
}

TEST_F(PreviewCommands, StillThatCannotBeWrittenIsReported)
{
    Config->PathImage = Unwritable(Home);
    Click(2);
    ASSERT_TRUE(WaitUntil([&] { return !View.Messages.isEmpty(); }));
    EXPECT_EQ(View.Messages, QStringList{Language->Msg.m_SaveError});
    EXPECT_EQ(Language->Msg.m_SaveError, QStringLiteral("이미지를 저장하지 못했습니다."));
    EXPECT_FALSE(View.Capturing);
    EXPECT_TRUE(Cap.Previewing());
}

TEST_F(PreviewCommands, RecordingLocksTheMenuAndRestoresThePreview)
{
    UseTestSoundDevice(Home);
    Click(10); // the recording is upright; the preview comes back turned
    ASSERT_TRUE(WaitForPicture());
    Click(3);
    ASSERT_TRUE(Cap.Recording());
    for (const char *name : RecordLocked)
        EXPECT_FALSE(View.IsEnabled(name)) << name;
    EXPECT_TRUE(View.IsEnabled("btnPreview_Record"));
    EXPECT_TRUE(View.IsEnabled("btnPreview_Setting"));
    EXPECT_TRUE(View.IsPressed("btnPreview_Record"));
    EXPECT_EQ(View.Images["btnPreview_Record"], QStringLiteral("RES_PREVIEW_MENU_STOP_"));
    ASSERT_TRUE(WaitUntil([&] { return View.RecordTimeVisible; }));
    ASSERT_TRUE(WaitUntil([&] { return View.RecordTime == QStringLiteral("00:00:02"); }));
    EXPECT_EQ(Cap.VideoWidth(), 1280);

    Click(3);
    EXPECT_FALSE(Cap.Recording());
    EXPECT_FALSE(View.RecordTimeVisible);
    for (const char *name : RecordLocked)
        EXPECT_TRUE(View.IsEnabled(name)) << name;
    EXPECT_FALSE(View.IsPressed("btnPreview_Record"));
    EXPECT_EQ(View.Images["btnPreview_Record"], QStringLiteral("RES_PREVIEW_MENU_RECORDING_"));
    EXPECT_TRUE(View.Messages.isEmpty());
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoRotate(), vrt90);
    EXPECT_EQ(Cap.VideoWidth(), 1200);
    EXPECT_EQ(Cap.VideoHeight(), 1600);

    ASSERT_TRUE(Cap.WaitForFile());
    const QStringList movies = FilesIn(Config->PathMovie);
    ASSERT_EQ(movies.size(), 1);
    EXPECT_TRUE(movies[0].endsWith(QStringLiteral(".mp4")));
    const TProbedFile probe = ProbeFile((Config->PathMovie + u'/' + movies[0]).toStdString());
    ASSERT_TRUE(probe.Ok) << probe.Error;
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->Codec, "mpeg4");
    EXPECT_EQ(video->Width, 1280);
    EXPECT_EQ(video->Height, 720);
    EXPECT_EQ(av_cmp_q(video->FrameRate, AVRational{20, 1}), 0);
    EXPECT_GT(video->Duration, 1.5);
    const TProbedStream *audio = probe.Find(AVMEDIA_TYPE_AUDIO);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(audio->Codec, "aac");
}

TEST_F(PreviewCommands, RecordingThatCannotStartShowsTheErrorAndRestartsThePreview)
{
    Config->PathMovie = Unwritable(Home);
    Click(3);
    EXPECT_FALSE(Cap.Recording());
    EXPECT_EQ(View.Messages, QStringList{Language->Msg.m_RecordError});
    for (const char *name : RecordLocked)
        EXPECT_TRUE(View.IsEnabled(name)) << name;
    EXPECT_FALSE(View.IsPressed("btnPreview_Record"));
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1600);
}

TEST_F(PreviewCommands, AfterAStopThePreviewFallsBackToAModeThatStarts)
{
    // The preview size of before the recording is no longer offered.
    Commands->SetPreviewSize({1024, 768, QStringLiteral("MJPG")});
    Click(3);
    ASSERT_TRUE(Cap.Recording());
    ASSERT_TRUE(WaitUntil([&] { return View.RecordTimeVisible; }));
    Click(3);
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1600);
    EXPECT_EQ(Commands->PreviewSize().Width, 1600);
    EXPECT_EQ(View.ResolutionText, QStringLiteral("1600x1200"));
    EXPECT_EQ(Config->VideoDevice.Format, QStringLiteral("1600x1200 MJPG"));
}

TEST_F(PreviewCommands, CameraLostDuringARecordingLeavesAPlayableFileAndAUsableMenu)
{
    Click(3);
    ASSERT_TRUE(Cap.Recording());
    ASSERT_TRUE(WaitUntil([&] { return View.RecordTime == QStringLiteral("00:00:01"); }));
    ASSERT_TRUE(TSimulatedCameras::DropOut(PreviewCam));
    ASSERT_TRUE(WaitUntil([&] { return !Cap.Recording() && View.IsEnabled("btnPreview_Load"); }));
    EXPECT_FALSE(View.RecordTimeVisible);
    EXPECT_FALSE(View.IsPressed("btnPreview_Record"));
    ASSERT_TRUE(Cap.WaitForFile());
    const QStringList movies = FilesIn(Config->PathMovie);
    ASSERT_EQ(movies.size(), 1);
    const TProbedFile probe = ProbeFile((Config->PathMovie + u'/' + movies[0]).toStdString());
    ASSERT_TRUE(probe.Ok) << probe.Error;
    ASSERT_NE(probe.Find(AVMEDIA_TYPE_VIDEO), nullptr);
    EXPECT_GT(probe.Find(AVMEDIA_TYPE_VIDEO)->Pts.size(), 5u);

    // The camera comes back and is opened again: recording works again.
    ASSERT_TRUE(TSimulatedCameras::PlugIn(PreviewCam));
    OpenCamera();
    Click(3);
    EXPECT_TRUE(Cap.Recording());
}

TEST_F(PreviewCommands, ResolutionPopupListsMjpegModesAndMarksTheModeInUseWhenTurned)
{
    Click(10); // 90°: the picture is 1200 x 1600, the mode still 1600 x 1200
    ASSERT_TRUE(WaitForPicture());
    Click(12);
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
    Click(12);
    ASSERT_TRUE(View.ChooseResolution);
    View.ChooseResolution(QStringLiteral("1280x720 (MJPG)"));
    EXPECT_TRUE(View.Messages.isEmpty());
    ASSERT_TRUE(WaitForPicture());
    EXPECT_EQ(Cap.VideoWidth(), 1280);
    EXPECT_EQ(Cap.VideoHeight(), 720);
    EXPECT_EQ(View.ResolutionText, QStringLiteral("1280x720"));
    EXPECT_EQ(Commands->PreviewSize().Width, 1280);
    EXPECT_EQ(Config->VideoDevice.Format, QStringLiteral("1280x720 MJPG"));
    Click(12);
    EXPECT_TRUE(View.PopupItems[1].Current);
}

TEST_F(PreviewCommands, RefusedResolutionKeepsThePreviousMode)
{
    Click(12);
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
    Click(12);
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

TEST_F(PreviewCommands, LoadedPictureIsShownZoomedWithinLimitsAndLeftWithBack)
{
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    View.FileToOpen = Home.file(QStringLiteral("Page.PnG"));
    ASSERT_TRUE(picture.save(View.FileToOpen, "PNG"));
    Click(1);
    EXPECT_TRUE(View.LastFilter.startsWith(QStringLiteral("Image|*.PNG;")));
    EXPECT_EQ(View.Image.size(), QSize(300, 200));
    EXPECT_EQ(View.Image.pixelColor(10, 10), QColor(Qt::darkCyan));
    EXPECT_EQ(Commands->PreviewType(), cptImage);
    EXPECT_EQ(View.Layout, cptImage);
    for (const char *name : {"btnPreview_Back", "btnPreview_ZoomIn", "btnPreview_ZoomOut",
                             "btnPreview_FullScreen", "btnPreview_Load"})
        EXPECT_TRUE(View.IsEnabled(name)) << name;
    for (const char *name :
         {"btnPreview_Capture", "btnPreview_Record", "btnPreview_Wide", "btnPreview_InvertColor",
          "btnPreview_GrayScale", "btnPreview_Rotate", "btnPreview_Resolution"})
        EXPECT_FALSE(View.IsEnabled(name)) << name;

    const QString liveZoomText = View.ZoomText;
    const float liveZoom = Cap.Zoom();
    Click(13);
    EXPECT_DOUBLE_EQ(View.Scale, 1.2);
    for (int i = 0; i < 10; ++i)
        Click(14);
    EXPECT_DOUBLE_EQ(View.Scale, 0.2);
    for (int i = 0; i < 60; ++i)
        Click(13);
    EXPECT_DOUBLE_EQ(View.Scale, 10.0);
    EXPECT_EQ(View.ZoomText, liveZoomText); // the live picture's zoom only
    EXPECT_FLOAT_EQ(Cap.Zoom(), liveZoom);

    Click(16);
    EXPECT_EQ(Commands->PreviewType(), cptPreview);
    EXPECT_EQ(View.Layout, cptPreview);
    EXPECT_FALSE(View.IsEnabled("btnPreview_Back"));
    EXPECT_TRUE(View.IsEnabled("btnPreview_Capture"));
    EXPECT_TRUE(WaitForPicture());
}

TEST_F(PreviewCommands, BrokenOrUnknownFilesLeaveTheLivePicture)
{
    View.FileToOpen = Home.file(QStringLiteral("broken.jpg"));
    writeFile(View.FileToOpen, "this is not a picture");
    Click(1);
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
        Click(1);
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
    Click(1);
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
    Click(13);
    EXPECT_FLOAT_EQ(Cap.Zoom(), 0.4f);
    EXPECT_EQ(View.ZoomText, QStringLiteral("40%"));
    Click(13);
    Click(14);
    EXPECT_EQ(View.ZoomText, QStringLiteral("40%"));

    Commands->SetPreviewType(cptSplit);
    EXPECT_EQ(View.Layout, cptSplit);
    ASSERT_TRUE(WaitForPicture());
    EXPECT_TRUE(View.IsEnabled("btnPreview_Back"));
    EXPECT_TRUE(View.IsEnabled("btnPreview_Record"));
    EXPECT_FALSE(View.IsEnabled("btnPreview_Capture"));
    EXPECT_FALSE(View.IsEnabled("btnPreview_Wide"));
    const float before = Cap.Zoom();
    Click(13);
    EXPECT_FLOAT_EQ(Cap.Zoom(), before + 0.1f);
    EXPECT_DOUBLE_EQ(View.Scale, 1.0);
}

TEST_F(PreviewCommands, FullScreenWideSettingsAndCamera)
{
    Click(5);
    EXPECT_TRUE(View.FullScreenOn);
    EXPECT_TRUE(View.IsPressed("btnPreview_FullScreen"));
    Click(5);
    EXPECT_FALSE(View.FullScreenOn);
    EXPECT_FALSE(View.IsPressed("btnPreview_FullScreen"));

    Click(15);
    EXPECT_TRUE(Cap.WideMOde());
    EXPECT_EQ(View.Images["btnPreview_Wide"], QStringLiteral("RES_PREVIEW_MENU_4_3_"));
    Click(15);
    EXPECT_FALSE(Cap.WideMOde());
    EXPECT_EQ(View.Images["btnPreview_Wide"], QStringLiteral("RES_PREVIEW_MENU_16_9_"));

    Click(17);
    EXPECT_EQ(View.SettingDialogs, 1);

    Click(18); // one camera: nothing to choose
    EXPECT_EQ(View.CameraChoices, 1);
    EXPECT_EQ(View.OpenCameraPosts, 0);
    View.CameraChosen = true;
    Click(18);
    EXPECT_EQ(View.OpenCameraPosts, 1);
}

} // namespace

#include "test_preview_commands.moc"
