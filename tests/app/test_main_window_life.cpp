// The main window's life on simulated cameras in a temporary home: start-up
// without a camera or a skin, the exit question, the forced end, recordings
// that a lost camera, a reopen or a termination signal ends, and the status
// of the mode in use.
#include "EncodingTestSupport.h"
#include "MainWindowFixture.h"
#include "app/MessageDlg.h"
#include "app/PreviewCommands.h"
#include "app/TerminationSignals.h"
#include "scene/ImageButton.h"
#include "scene/TabButton.h"
#include "scene/TextItem.h"
#include "support/ComponentUSB.h"
#include "support/Config.h"
#include "support/CustomResource.h"
#include "support/Language.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>

namespace {

QStringList Recordings()
{
    return QDir(Config->PathMovie).entryList({QStringLiteral("*.mp4")}, QDir::Files);
}

// The file plays: libavformat reads a video stream with pictures in it.
void ExpectPlayable(const QString &AFile)
{
    const TProbedFile probe = ProbeFile(AFile.toStdString());
    ASSERT_TRUE(probe.Ok) << probe.Error;
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    ASSERT_NE(video, nullptr);
    EXPECT_GT(video->Pts.size(), 3u);
}

class MainWindowLife : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        UseTestSoundDevice(Home);
    }
    void TearDown() override
    {
        TMainForm::SkinFile.clear();
        MainWindowTest::TearDown();
    }
    // Starts a recording with the record button and lets it run a while.
    void Record()
    {
        Form->PreviewMenuClick(Form->MenuButton(QStringLiteral("btnPreview_Record")));
        ASSERT_TRUE(QTest::qWaitFor([&] { return Form->VideoCap()->Recording(); }, 10000));
        QTest::qWait(1500);
        ASSERT_EQ(Recordings().size(), 1);
    }
    QString RecordingFile() const { return Config->PathMovie + u'/' + Recordings().value(0); }
};

TEST_F(MainWindowLife, StartingWithoutACameraShowsTheMessageAndEnds)
{
    TDialogAnswer ok(mrOk);
    Start({});
    EXPECT_FALSE(Form->Created());
    EXPECT_EQ(ok.Text(), Language->Msg.m_DeviceNotFound);
    EXPECT_EQ(Terminated, 1);
    EXPECT_FALSE(Form->isVisible());
}

TEST_F(MainWindowLife, StartingWithoutTheSkinShowsTheMessageAndEnds)
{
    TMainForm::SkinFile = Home.file(QStringLiteral("missing/Resource.rcc"));
    TDialogAnswer ok(mrOk);
    Start();
    EXPECT_FALSE(Form->Created());
    EXPECT_EQ(ok.Text(), Language->Msg.m_ResourceNotFound);
    EXPECT_EQ(Terminated, 1);
}

TEST_F(MainWindowLife, TheExitQuestionKeepsTheWindowOnNoAndClosesOnYes)
{
    StartLive();
    {
        TDialogAnswer no(mrNo);
        EXPECT_FALSE(Form->close());
        EXPECT_EQ(no.Answered(), 1);
        EXPECT_EQ(no.Text(), Language->Msg.q_Exit);
        EXPECT_TRUE(Form->isVisible());
        EXPECT_TRUE(Form->VideoCap()->Previewing());
    }
    const QString images = Home.file(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(images));
    Config->PathImage = images;
    {
        TDialogAnswer yes(mrYes);
        Form->close();
        EXPECT_EQ(yes.Answered(), 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Form->isVisible(); }, 5000));
    }
    // The program's end then writes the settings.
    Form.reset();
    const QString cfg = Config->CfgFileName();
    Modules.reset();
    EXPECT_TRUE(readFile(cfg).contains(images.toUtf8()));
}

TEST_F(MainWindowLife, TerminateSelfEndsAtOnceAndWritesNothing)
{
    Start();
    ASSERT_TRUE(Form->Created());
    const QString cfg = Config->CfgFileName();
    ASSERT_FALSE(QFileInfo::exists(cfg));
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            Config->PathImage = QStringLiteral("/changed");
            TerminateProc = [] {
                std::_Exit(1);
            };
            TerminateSelf();
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_FALSE(QFileInfo::exists(cfg));
}

// How the camera goes: the stream breaks before the device list changes, or
// the list changes while the recording still runs.
class LostCamera : public MainWindowLife, public ::testing::WithParamInterface<bool>
{};

TEST_P(LostCamera, DuringARecordingLeavesAPlayableFileThenEnds)
{
    StartLive();
    Record();
    if (GetParam()) {
        ASSERT_TRUE(TSimulatedCameras::DropOut(DocCamPath));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->VideoCap()->Recording(); }, 10000));
    }
    TSimulatedCameras::Clear();
    TDialogAnswer ok(mrOk);
    Form->ComponentUSB()->DeviceChanged(); // as the system reports an unplug
    ASSERT_TRUE(QTest::qWaitFor([&] { return Terminated == 1; }, 20000));
    EXPECT_EQ(ok.Text(), Language->Msg.m_DeviceNotFound);
    EXPECT_FALSE(Form->VideoCap()->RecordFinishing());
    ExpectPlayable(RecordingFile());
}

INSTANTIATE_TEST_SUITE_P(How, LostCamera, ::testing::Values(true, false), [](const auto &info) {
    return info.param ? std::string("StreamBreaksFirst") : std::string("UnpluggedWhileRecording");
});

TEST_F(MainWindowLife, AnUnrelatedDeviceChangeLeavesTheCameraAlone)
{
    StartLive();
    const auto before = Form->VideoCap()->VideoWindow()->FramesPresented();
    Form->ComponentUSB()->DeviceChanged();
    QTest::qWait(2 * TComponentUSB::CoalesceMs);
    EXPECT_EQ(Terminated, 0);
    EXPECT_TRUE(Form->VideoCap()->Previewing());
    EXPECT_TRUE(WaitForFrames(before + 3));
}

TEST_F(MainWindowLife, AReopenDuringARecordingFinishesItAndRestoresTheButtons)
{
    StartLive();
    Record();
    Form->PostOpenCamera();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->VideoCap()->Recording(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Form->VideoCap()->Previewing(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->VideoCap()->RecordFinishing(); }, 20000));
    ExpectPlayable(RecordingFile());
    // The buttons come back with the reopen.
    TImageButton *record = Form->MenuButton(QStringLiteral("btnPreview_Record"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !record->IsPressed(); }, 5000));
    for (const char *name : {"btnPreview_Capture", "btnPreview_Load", "btnPreview_Resolution"})
        EXPECT_EQ(Form->MenuButton(QLatin1String(name))->Opacity(), 1.0) << name;
    EXPECT_TRUE(Form->tabDrawing->isEnabled());
}

TEST_F(MainWindowLife, TheStatusShowsTheModeInUseWhenEveryModeIsRefused)
{
    // No MJPEG mode at all: the configured "1600x1200 MJPG" and every MJPEG
    // fallback fail, the camera keeps a mode of its own.
    TSimulatedCamera camera = DocCamera();
    camera.Modes = {{1280, 720, false, 30}, {640, 480, false, 30}};
    Start({camera});
    ASSERT_TRUE(Form->Created());
    Form->show();
    ASSERT_TRUE(WaitForFrames(2));
    const QString inUse =
        SizeToText(Form->VideoCap()->VideoWidth(), Form->VideoCap()->VideoHeight());
    EXPECT_EQ(Form->txtResolution->Text(), inUse);
    EXPECT_NE(Form->txtResolution->Text(), QStringLiteral("1600x1200"));
}

TEST_F(MainWindowLife, TerminationSignalFinishesTheRecordingAndClosesWithoutTheQuestion)
{
    StartLive();
    TTerminationSignals termination;
    ASSERT_TRUE(termination.Installed());
    std::vector<int> received;
    termination.OnTerminate = [&](int ASignal) {
        received.push_back(ASignal);
        Form->CloseWithoutQuestion();
    };
    Record();
    TDialogAnswer no(mrNo);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Form->isVisible(); }, 20000));
    EXPECT_EQ(received, std::vector<int>{SIGTERM});
    EXPECT_EQ(no.Answered(), 0) << "the exit question was asked";
    EXPECT_FALSE(Form->VideoCap()->RecordFinishing());
    ExpectPlayable(RecordingFile());
}

} // namespace

namespace {

TEST_F(MainWindowLife, TheConfiguredBrightnessReachesTheCameraOnlyWhenTheFileHasIt)
{
    for (const bool inFile : {false, true}) {
        SCOPED_TRACE(inFile ? "in the file" : "not in the file");
        writeFile(Home.documents() + QStringLiteral("/Ovilen/Ovilen.cfg"),
                  inFile ? "[VIDEO]\nBrightness=77\n" : "[VIDEO]\n");
        StartLive();
        EXPECT_EQ(Form->VideoCap()->Brightness(), inFile ? 77 : 128);
        Form.reset();
        Modules.reset();
        TSimulatedCameras::Clear();
    }
}

TEST_F(MainWindowLife, TheSettingsCameraButtonOpensTheCameraControlsOverTheDialog)
{
    StartLive();
    // Each modal window in turn: the settings dialog presses its camera
    // button; the controls dialog that opens over it is closed, then the
    // settings dialog is cancelled.
    QStringList seen;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || seen.contains(dialog->objectName()))
            return;
        seen << dialog->objectName();
        if (auto *camera = dialog->findChild<QPushButton *>(QStringLiteral("btnCamSetting"))) {
            QMetaObject::invokeMethod(camera, &QPushButton::click, Qt::QueuedConnection);
            return;
        }
        QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        poll.stop();
        QTimer::singleShot(100, [] {
            if (QWidget *settings = QApplication::activeModalWidget())
                QMetaObject::invokeMethod(settings, "reject", Qt::QueuedConnection);
        });
    });
    poll.start();
    Form->PreviewMenuClick(Form->MenuButton(QStringLiteral("btnPreview_Setting")));
    ASSERT_EQ(seen.size(), 2) << seen.join(u',').toStdString();
    EXPECT_EQ(seen[0], QStringLiteral("SettingForm"));
    // Over it, a second modal window: the camera's controls.
    EXPECT_FALSE(seen[1].isEmpty());
    EXPECT_NE(seen[1], seen[0]);
}

} // namespace
