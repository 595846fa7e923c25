#pragma once

// The preview commands on the real capture component and a simulated
// camera, in a temporary home with its own settings and the built-in texts.

#include "../capture/CaptureTestSupport.h"
#include "EncodingTestSupport.h"
#include "TempHome.h"
#include "TestMainView.h"
#include "app/PreviewCommands.h"
#include "capture/component/VideoWindow.h"
#include "encoding/FFEncoder.h"
#include "support/Common.h"
#include "support/Config.h"
#include "support/Language.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <memory>

// The component with the wait for a recording's file in reach.
class TPreviewTestCap : public TCustomVideoCap
{
public:
    TPreviewTestCap()
    {
        SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
        resize(640, 360);
        SetAspectRatio(true);
    }
    // Waits for the encode to finish its file.
    bool WaitForFile(std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        TFFEncoder *encoder = RecordSession().Encoder();
        return !encoder || encoder->WaitForFinish(limit);
    }
    std::uint64_t Presented() const { return VideoWindow() ? VideoWindow()->FramesPresented() : 0; }
};

inline const QString PreviewCam = QStringLiteral("usb#VID_0000&PID_2003#preview");

// The document camera of these tests: MJPEG modes of three sizes, one size
// also as YUY2, and an MJPEG mode that is listed but refused when started.
inline TSimulatedCamera PreviewCamera()
{
    TSimulatedCamera camera = SimCamera(QStringLiteral("Preview Cam"), PreviewCam,
                                        {{1600, 1200, true, 5},
                                         {640, 480, false, 15},
                                         {640, 480, true, 15},
                                         {800, 600, true, 15},
                                         {1280, 720, true, 20}});
    camera.Refused.push_back({800, 600});
    return camera;
}

// Receives what QDesktopServices would hand to the desktop.
class TUrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> Urls;
public slots:
    void open(const QUrl &url) { Urls << url; }
};

// The files of a folder, sorted by name.
inline QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// Checks the one recording in the folder as the record command makes it: an
// MP4 file with MPEG-4 video at 1280 x 720 and 20 frames per second, at least
// AMinSeconds long, with AAC sound.
inline void ExpectRecording(const QString &AFolder, double AMinSeconds)
{
    const QStringList movies = FilesIn(AFolder);
    ASSERT_EQ(movies.size(), 1);
    EXPECT_TRUE(movies[0].endsWith(QStringLiteral(".mp4")));
    const TProbedFile probe = ProbeFile((AFolder + u'/' + movies[0]).toStdString());
    ASSERT_TRUE(probe.Ok) << probe.Error;
    EXPECT_NE(probe.Format.find("mp4"), std::string::npos) << probe.Format;
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->Codec, "mpeg4");
    EXPECT_EQ(video->Width, 1280);
    EXPECT_EQ(video->Height, 720);
    EXPECT_EQ(av_cmp_q(video->FrameRate, AVRational{20, 1}), 0);
    EXPECT_GT(video->Duration, AMinSeconds);
    const TProbedStream *audio = probe.Find(AVMEDIA_TYPE_AUDIO);
    ASSERT_NE(audio, nullptr);
    EXPECT_EQ(audio->Codec, "aac");
}

// The number of video packets of the one recording in the folder (0 when
// it cannot be read).
inline std::size_t RecordedFrames(const QString &AFolder)
{
    const QStringList movies = FilesIn(AFolder);
    if (movies.size() != 1)
        return 0;
    const TProbedFile probe = ProbeFile((AFolder + u'/' + movies[0]).toStdString());
    const TProbedStream *video = probe.Ok ? probe.Find(AVMEDIA_TYPE_VIDEO) : nullptr;
    return video ? video->Pts.size() : 0;
}

// Start-up as the program does it: folders, settings, texts, the component
// on the camera, the command object, then the camera opened with the
// configured mode and rotation.
class PreviewFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // No sound device unless a test plugs in the timed test device.
        UseNoSoundDevice(Home);
        InitFolders();
        Config = std::make_unique<TConfig>(PathData);
        Language = std::make_unique<TLanguage>(Home.file(QStringLiteral("absent.ini")));
        TSimulatedCameras::Clear();
        TSimulatedCameras::Add(PreviewCamera());
        ASSERT_TRUE(Cap.Init());
        Cap.SetVideoDeviceIndex(0);
        Commands = std::make_unique<TPreviewCommands>(Cap, *Config, *Language, View);
        Commands->SetPreviewType(cptPreview);
        OpenCamera();
    }
    void TearDown() override
    {
        if (Cap.Recording())
            Cap.StopRecord();
        EXPECT_TRUE(Cap.WaitForFile());
        Commands.reset();
        Cap.StopPreview();
        TSimulatedCameras::Clear();
        Language.reset();
        Config.reset();
    }

    // What the open-camera message does (the camera is bound already).
    void OpenCamera()
    {
        ASSERT_TRUE(Commands->OpenCamera());
        ASSERT_TRUE(WaitForPicture());
    }

    // The live picture runs and has shown a frame; the waiting notice is gone.
    bool WaitForPicture()
    {
        return WaitUntil([&] { return Cap.Previewing() && Cap.Presented() >= 1 && !View.Waiting; });
    }

    void Click(TPreviewTag tag) { Commands->PreviewMenuClick(tag); }

    TempHome Home;
    TTestMainView View;
    TPreviewTestCap Cap;
    std::unique_ptr<TPreviewCommands> Commands;
};
