// A recording whose process is killed leaves a file that plays up to its last fragment.
#include "EncodingTestSupport.h"
#include "encoding/FFEncoder.h"
#include "encoding/RecordClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

// Run only as the child of EncoderKilled.FileStaysPlayable: records until killed, with
// a main thread too busy to serve frame requests on time.
TEST(EncoderKilled, DISABLED_RecordUntilKilled)
{
    const std::string file = qEnvironmentVariable(KilledRecordingVariable).toStdString();
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
    TRecordClock clock;
    adapter.SetOnReadFrameBMP([&](TFrameInputAdapter *, uint8_t *data, TInputFrameInfo *info) {
        clock.StampFrame(*info);
        const auto &picture = pictures[frame++ % pictures.size()];
        std::memcpy(data, picture.data(), picture.size());
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

TEST(EncoderKilled, FileStaysPlayable)
{
    TempHome home;
    const std::string file = home.file(QStringLiteral("killed.mp4")).toStdString();
    const double recorded =
        RecordInChildUntilKilled(file, "EncoderKilled.DISABLED_RecordUntilKilled", 20);
    ExpectKilledRecordingPlays(file, recorded);
    const THalves halves = FirstPictureHalves(file);
    EXPECT_TRUE(halves.Ok) << "the first picture decodes";
}
