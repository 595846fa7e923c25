// A recording whose process is killed leaves a file that plays up to its last fragment.
#include "EncodingTestSupport.h"
#include "encoding/FFEncoder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char **environ;

using namespace std::chrono_literals;

namespace {
constexpr const char *FileVariable = "OVILEN_TEST_KILLED_RECORDING";
}

// Run only as the child of RecordingKilled.FileStaysPlayable: records until killed, with
// a main thread too busy to serve frame requests on time.
TEST(RecordingKilled, DISABLED_RecordUntilKilled)
{
    const std::string file = qEnvironmentVariable(FileVariable).toStdString();
    ASSERT_FALSE(file.empty());
    TempHome home;
    UseTestSoundDevice(home);
    TFFEncoder encoder;
    ASSERT_TRUE(encoder.LoadLibraries());
    TFrameInputAdapter adapter;
    std::vector<std::vector<uint8_t>> pictures(4, std::vector<uint8_t>(size_t(640 * 3) * 480));
    for (size_t i = 0; i < pictures.size(); ++i)
        PaintTestPicture(pictures[i].data(), 640, 480, 640 * 3, int(i));
    size_t frame = 0;
    int64_t recordTime = 0;
    adapter.SetOnReadFrameBMP([&](TFrameInputAdapter *, uint8_t *data, TInputFrameInfo *info) {
        const int64_t now = QDateTime::currentMSecsSinceEpoch();
        if (info->TimeStamp == 0)
            recordTime = now;
        const auto &picture = pictures[frame++ % pictures.size()];
        std::memcpy(data, picture.data(), picture.size());
        info->TimeStamp = (now - recordTime) * 1000;
        // A busy main thread: requests are served later than the worker asks for them.
        std::this_thread::sleep_for(45ms);
        return 0;
    });
    const int task = encoder.AddTask(
        adapter.InputName(), {"-f frameinput -input_type bmp -pix_fmt bgr24 -r 30/1 -s 640x480"});
    ASSERT_GE(task, 0) << encoder.LastErrorMsg();
    ASSERT_GE(encoder.AddInput(task, "-1", {"-f wavecapture -ar 44100 -ac 2 -sample_fmt u8"}), 0);
    ASSERT_GE(
        encoder.SetOutput(task, file,
                          {"-c:v mpeg4 -b:v 3000k -c:a aac -strict experimental -b:a 64k -r 20/1 "
                           "-s 640x480 -vsync -1 -map 0:0 -map 1:0"}),
        0)
        << encoder.LastErrorMsg();
    ASSERT_TRUE(encoder.Start(1));
    QEventLoop loop;
    QTimer::singleShot(60s, &loop, &QEventLoop::quit);
    loop.exec();
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
    std::string filter = "--gtest_filter=RecordingKilled.DISABLED_RecordUntilKilled";
    std::string disabled = "--gtest_also_run_disabled_tests";
    char *argv[] = {self.data(), filter.data(), disabled.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, env.data()), 0);

    // The file exists (with its header) once the recording is set up.
    const auto limit = std::chrono::steady_clock::now() + 20s;
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
    const THalves halves = FirstPictureHalves(file);
    EXPECT_TRUE(halves.Ok) << "the first picture decodes";
}
