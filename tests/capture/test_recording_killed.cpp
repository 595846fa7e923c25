// A recording whose process is killed leaves a file that plays up to its last
// fragment.
#include "RecordingTestSupport.h"

#include <QFileInfo>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char **environ;

namespace {

using namespace std::chrono_literals;

constexpr const char *FileVariable = "OVILEN_TEST_KILLED_RECORDING";

// Run only as the child of RecordingKilled.FileStaysPlayable: records from a
// simulated camera, with sound, until it is killed.
TEST_F(Recorder, DISABLED_RecordUntilKilled)
{
    const QString file = qEnvironmentVariable(FileVariable);
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
    const std::string fileVariable = std::string(FileVariable) + "=" + file;
    std::vector<char *> env;
    for (char **e = environ; *e; ++e)
        env.push_back(*e);
    env.push_back(const_cast<char *>(fileVariable.c_str()));
    env.push_back(nullptr);
    std::string self = QCoreApplication::applicationFilePath().toStdString();
    std::string filter = "--gtest_filter=Recorder.DISABLED_RecordUntilKilled";
    std::string disabled = "--gtest_also_run_disabled_tests";
    char *argv[] = {self.data(), filter.data(), disabled.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, env.data()), 0);

    // The file appears (with its header) once the recording has started.
    const auto limit = std::chrono::steady_clock::now() + 30s;
    while (!QFileInfo::exists(QString::fromStdString(file)) &&
           std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(10ms);
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(3s);
    kill(child, SIGKILL);
    const double recorded =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the recording child ended by itself";

    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    const TProbedStream *audio = probe.Find(AVMEDIA_TYPE_AUDIO);
    ASSERT_TRUE(video && audio);
    // At most about a second is lost at the end.
    EXPECT_GT(video->Duration, recorded - 1.3);
    EXPECT_LE(video->Duration, recorded + 0.1);
    EXPECT_GT(audio->Duration, recorded - 1.3);
    const TDecodedPicture last = DecodePicture(file, -1);
    ASSERT_TRUE(last.Ok);
    EXPECT_EQ(last.Width, 640);
    EXPECT_GT(ChromaStrength(last), 10); // the camera's picture
}

} // namespace
