// A recording whose process is killed leaves a file that plays up to its last
// fragment, wherever in the recording the kill comes.
#include "RecordingTestSupport.h"
#include "TestSeed.h"

#include <random>

namespace {

// Run only as the child of RecordingKilled.FileStaysPlayable: records from a
// simulated camera, with sound, until it is killed.
TEST_F(Recorder, DISABLED_RecordUntilKilled)
{
    const QString file = qEnvironmentVariable(KilledRecordingVariable);
    ASSERT_FALSE(file.isEmpty());
    UseTestSoundDevice(Home);
    UseCamera(640, 480);
    Cap.SetRecordFilename(file);
    ASSERT_TRUE(Cap.StartRecord());
    Spin(60000);
}

TEST(RecordingKilled, FileStaysPlayable)
{
    TempHome home;
    const std::string file = home.file(QStringLiteral("killed.mp4")).toStdString();
    const double recorded =
        RecordInChildUntilKilled(file, "Recorder.DISABLED_RecordUntilKilled", 30);
    ExpectKilledRecordingPlays(file, recorded);
    const TDecodedPicture last = DecodePicture(file, -1);
    ASSERT_TRUE(last.Ok);
    EXPECT_EQ(last.Width, 640);
    EXPECT_GT(ChromaStrength(last), 10); // the camera's picture
}

// Twenty kills at random moments, from the recording's first moments to
// past its third fragment: each file plays, with picture and sound, and loses
// at most the last second.
TEST(RecordingKilled, TwentyKillsAtRandomMoments)
{
    std::mt19937 random(TestSeed("TwentyKillsAtRandomMoments", 18'020));
    TempHome home;
    for (int round = 0; round < 20; ++round) {
        const std::chrono::milliseconds after(std::uniform_int_distribution(0, 2500)(random));
        SCOPED_TRACE(testing::Message()
                     << "round " << round << ", killed after " << after.count() << " ms");
        const std::string file = home.file(QStringLiteral("killed%1.mp4").arg(round)).toStdString();
        const double recorded =
            RecordInChildUntilKilled(file, "Recorder.DISABLED_RecordUntilKilled", 60, after);
        ExpectKilledRecordingPlays(file, recorded);
        if (HasFailure())
            break; // one failed round says it; the rest would repeat it
    }
}

} // namespace
