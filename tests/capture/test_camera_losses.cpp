// The camera lost again and again at random moments: before its first frame,
// during the preview, during a recording and while a still is being taken.
// After each loss the event loop still turns, the component is neither
// previewing nor recording, every recording left behind plays, and the next
// start works once the camera is back. Under AddressSanitizer the run also
// shows that nothing leaks.
#include "RecordingTestSupport.h"
#include "TestSeed.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <random>

namespace {

enum class TMoment
{
    BeforeFirstFrame,
    Preview,
    Recording,
    Still,
};

const char *Name(TMoment AMoment)
{
    switch (AMoment) {
    case TMoment::BeforeFirstFrame:
        return "before the first frame";
    case TMoment::Preview:
        return "during the preview";
    case TMoment::Recording:
        return "during a recording";
    case TMoment::Still:
        return "during a still";
    }
    return "";
}

// What each open descriptor refers to.
QStringList OpenDescriptors()
{
    QStringList targets;
    const QDir folder(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : folder.entryList(QDir::Files | QDir::System))
        targets << QFile::symLinkTarget(folder.filePath(fd));
    return targets;
}

TEST_F(Recorder, FiftyLossesAtRandomMoments)
{
    std::mt19937 random(TestSeed("FiftyLossesAtRandomMoments", 18'050));
    UseTestSoundDevice(Home);
    UseCamera(640, 480);

    // A heartbeat of the event loop: it must keep beating through every loss.
    int beats = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++beats; });
    heartbeat.start(5);

    std::vector<std::string> recordings;
    for (int round = 0; round < 50; ++round) {
        const auto moment = static_cast<TMoment>(round % 4);
        SCOPED_TRACE(testing::Message() << "round " << round << ", " << Name(moment));
        ASSERT_TRUE(TSimulatedCameras::PlugIn(DocCam));
        TSimulatedCameras::SetDropAfterFrames(DocCam, -1);

        if (moment == TMoment::BeforeFirstFrame) {
            TSimulatedCameras::SetDropAfterFrames(DocCam, 0);
            const int errors = Cap.ErrorCount;
            ASSERT_TRUE(Cap.StartPreview());
            ASSERT_TRUE(WaitUntil([&] { return !Cap.Previewing(); }));
            EXPECT_EQ(Cap.ErrorCount, errors + 1); // the start fails visibly
        } else {
            const int started = Cap.StartPreviewCount;
            ASSERT_TRUE(Cap.StartPreview());
            ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount > started; }));
            std::string file;
            int wait = 0;
            if (moment == TMoment::Preview) {
                wait = std::uniform_int_distribution(0, 400)(random);
            } else if (moment == TMoment::Recording) {
                file = File(("loss" + std::to_string(round) + ".mp4").c_str());
                Cap.SetRecordFilename(QString::fromStdString(file));
                ASSERT_TRUE(Cap.StartRecord());
                recordings.push_back(file);
                wait = std::uniform_int_distribution(0, 1500)(random);
            } else {
                Cap.CaptureVideo();
                // Within about two frames of the request: before or after it is served.
                wait = std::uniform_int_distribution(0, 70)(random);
            }
            Spin(wait);
            const int beatsBefore = beats;
            ASSERT_TRUE(TSimulatedCameras::DropOut(DocCam));
            ASSERT_TRUE(WaitUntil([&] { return !Cap.Previewing() && !Cap.Recording(); }));
            EXPECT_GT(beats, beatsBefore);
            if (!file.empty()) {
                ASSERT_TRUE(Cap.WaitForFile());
                const TProbedFile probe = ProbeFile(file);
                ASSERT_TRUE(probe.Ok) << probe.Error;
                ASSERT_NE(probe.Find(AVMEDIA_TYPE_VIDEO), nullptr);
            }
        }
        EXPECT_FALSE(Cap.Previewing());
        EXPECT_FALSE(Cap.Recording());
        EXPECT_EQ(Cap.VideoWindow(), nullptr);
    }

    // Each recording still plays now that all are done.
    EXPECT_GE(recordings.size(), 12u);
    for (const std::string &file : recordings) {
        const TProbedFile probe = ProbeFile(file);
        EXPECT_TRUE(probe.Ok) << file << ": " << probe.Error;
    }

    // The camera back: the component works as before.
    ASSERT_TRUE(TSimulatedCameras::PlugIn(DocCam));
    const int started = Cap.StartPreviewCount;
    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount > started; }));
    TGrabbed frame;
    EXPECT_TRUE(Cap.Grab(frame));
    EXPECT_EQ(frame.Width, 640);
    Cap.StopPreview();
}

// Runs of the preview, ended by a stop or by a loss, leave no descriptor
// behind: one per run would show as dozens.
TEST_F(Recorder, RunsAndLossesLeaveNoDescriptors)
{
    UseNoSoundDevice(Home);
    UseCamera(640, 480);
    QStringList first, counts;
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(TSimulatedCameras::PlugIn(DocCam));
        const int started = Cap.StartPreviewCount;
        ASSERT_TRUE(Cap.StartPreview());
        ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount > started; }));
        if (round % 2 == 0)
            Cap.StopPreview();
        else
            ASSERT_TRUE(TSimulatedCameras::DropOut(DocCam));
        ASSERT_TRUE(WaitUntil([&] { return !Cap.Previewing(); }));
        const QStringList now = OpenDescriptors();
        if (round == 1)
            first = now;
        counts << QStringLiteral("round %1: %2 descriptors").arg(round).arg(now.size());
    }
    const QStringList last = OpenDescriptors();
    EXPECT_LE(last.size(), first.size() + 4)
        << counts.join(u'\n').toStdString() << "\nafter round 1:\n"
        << first.join(u'\n').toStdString() << "\nat the end:\n"
        << last.join(u'\n').toStdString();
}

} // namespace
