// A recording whose process is killed leaves a file that plays up to its last
// fragment.
#include "RecordingTestSupport.h"

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

} // namespace
