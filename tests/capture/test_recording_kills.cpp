// A recording whose process is killed at a random moment, twenty times: each
// file left behind plays, with picture and sound, and loses at most about
// the last second.
#include "RecordingTestSupport.h"
#include "TestSeed.h"

#include <random>

namespace {

// Run only as the child of RecordingKills.TwentyKillsAtRandomMoments.
TEST_F(Recorder, DISABLED_RecordUntilKilledAtRandom)
{
    const QString file = qEnvironmentVariable(KilledRecordingVariable);
    ASSERT_FALSE(file.isEmpty());
    UseTestSoundDevice(Home);
    UseCamera(640, 480);
    Cap.SetRecordFilename(file);
    ASSERT_TRUE(Cap.StartRecord());
    Spin(60000);
}

TEST(RecordingKills, TwentyKillsAtRandomMoments)
{
    std::mt19937 random(TestSeed("TwentyKillsAtRandomMoments", 18'020));
    TempHome home;
    for (int round = 0; round < 20; ++round) {
        // From the recording's first moments to past its third fragment.
        const std::chrono::milliseconds after(std::uniform_int_distribution(0, 2500)(random));
        SCOPED_TRACE(testing::Message()
                     << "round " << round << ", killed after " << after.count() << " ms");
        const std::string file = home.file(QStringLiteral("killed%1.mp4").arg(round)).toStdString();
        const double recorded = RecordInChildUntilKilled(
            file, "Recorder.DISABLED_RecordUntilKilledAtRandom", 60, after);
        ExpectKilledRecordingPlays(file, recorded);
        if (HasFailure())
            break; // one failed round says it; the rest would repeat it
    }
}

} // namespace
