// Recordings made through the encoder the way the capture component makes them, checked
// in the written files with libavformat.
#include "encoding/FFEncoder.h"

#include "EncodingTestSupport.h"
#include "encoding/RecordClock.h"
#include "encoding/WaveInput.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <sys/resource.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A file size limit with SIGXFSZ ignored, standing in for a full disk; both are
// restored when the guard ends, whatever assertion fails in between.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t ABytes)
        : FBytes(ABytes)
    {
        getrlimit(RLIMIT_FSIZE, &FOld);
    }
    ~TFileSizeLimit() { Restore(); }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

    bool Set()
    {
        FOldSignal = std::signal(SIGXFSZ, SIG_IGN);
        FSet = true;
        rlimit limit = FOld;
        limit.rlim_cur = FBytes;
        return setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    void Restore()
    {
        if (!FSet)
            return;
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldSignal);
        FSet = false;
    }

private:
    rlim_t FBytes;
    rlimit FOld{};
    void (*FOldSignal)(int) = SIG_DFL;
    bool FSet = false;
};

std::string VideoInputText(int width, int height)
{
    return "-f frameinput -input_type bmp -pix_fmt bgr24 -r 30/1 -s " + std::to_string(width) +
           "x" + std::to_string(height);
}
const std::string WaveInputText = "-f wavecapture -ar 44100 -ac 2 -sample_fmt u8";
std::string OutputWithSound(int width, int height)
{
    return "-c:v mpeg4 -b:v 3000k -c:a aac -strict experimental -b:a 64k -r 20/1 -s " +
           std::to_string(width) + "x" + std::to_string(height) + " -vsync -1 -map 0:0 -map 1:0";
}
std::string VideoOnlyOutput(int width, int height)
{
    return "-c:v mpeg4 -b:v 3000k -r 20/1 -s " + std::to_string(width) + "x" +
           std::to_string(height);
}

// Runs the main thread's event loop until done() holds or the time is up; true when done.
template <typename TDone>
bool ServeMainThreadUntil(TDone done, std::chrono::milliseconds limit)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void ServeEventsFor(std::chrono::milliseconds length)
{
    ServeMainThreadUntil([] { return false; }, length);
}

// Serves the main thread until the encode has finished its file.
bool ServeUntilFinished(TFFEncoder &encoder, std::chrono::milliseconds limit = 20s)
{
    return ServeMainThreadUntil([&] { return !encoder.Working(); }, limit) &&
           encoder.WaitForFinish(1s);
}

// A frame source that behaves like the capture component: it copies the newest picture
// into the frame buffer and stamps it with the wall clock since the first request.
class TPictureSource
{
public:
    TPictureSource(int width, int height, int pictures)
        : FBytesPerLine((width * 3 + 3) / 4 * 4)
    {
        for (int i = 0; i < pictures; ++i) {
            FPictures.emplace_back(size_t(FBytesPerLine) * size_t(height));
            PaintTestPicture(FPictures.back().data(), width, height, FBytesPerLine, i);
        }
    }

    void Attach(TFrameInputAdapter &adapter)
    {
        adapter.SetOnReadFrameBMP(
            [this](TFrameInputAdapter *, uint8_t *data, TInputFrameInfo *info) {
                FClock.StampFrame(*info);
                const auto &picture = FPictures[size_t(Calls) % FPictures.size()];
                std::memcpy(data, picture.data(),
                            std::min(picture.size(), size_t(info->BytesPerFrame)));
                ++Calls;
                return FailAfter >= 0 && Calls > FailAfter ? -1 : 0;
            });
    }

    int Calls = 0;
    int FailAfter = -1;

private:
    int FBytesPerLine;
    std::vector<std::vector<uint8_t>> FPictures;
    TRecordClock FClock;
};

class Encoder : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FEncoder.LoadLibraries()) << FEncoder.LastErrorMsg();
        ASSERT_TRUE(FEncoder.Loaded());
    }

    std::string OutputPath(const char *name) const
    {
        return (FHome.documents() + u'/' + QString::fromUtf8(name)).toStdString();
    }

    // Builds the task a recording builds: video input, sound input when asked, output.
    bool BuildRecordTask(const std::string &file, int width, int height, bool sound)
    {
        if (!FEncoder.ClearTasks())
            return false;
        const int task = FEncoder.AddTask(FAdapter.InputName(), {VideoInputText(width, height)});
        if (task < 0)
            return false;
        if (sound && FEncoder.AddInput(task, "-1", {WaveInputText}) < 0)
            return false;
        const std::string output =
            sound ? OutputWithSound(width, height) : VideoOnlyOutput(width, height);
        if (FEncoder.SetOutput(task, file, {output}) < 0) {
            FEncoder.RemoveTask(task);
            return false;
        }
        return true;
    }

    // Records for about length of wall time; returns the seconds from Start to Stop.
    double Record(std::chrono::milliseconds length)
    {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(FEncoder.Start(1)) << FEncoder.LastErrorMsg();
        ServeEventsFor(length);
        FEncoder.Stop(false);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_TRUE(ServeUntilFinished(FEncoder));
        return wall;
    }

    TempHome FHome;
    TFrameInputAdapter FAdapter;
    TFFEncoder FEncoder;
};

void ExpectTwentyFramesASecond(const TProbedStream &video)
{
    EXPECT_EQ(av_cmp_q(video.FrameRate, AVRational{20, 1}), 0)
        << video.FrameRate.num << "/" << video.FrameRate.den;
    // Constant rate: every picture one twentieth of a second after the one before. With
    // sound the first picture also covers the sound encoder's start-up delay (1024
    // samples), which keeps picture and sound in step.
    const int64_t step = av_rescale_q(1, AVRational{1, 20}, video.TimeBase);
    const int64_t soundDelay = av_rescale_q(1024, AVRational{1, 44100}, video.TimeBase);
    std::vector<int64_t> pts = video.Pts;
    std::sort(pts.begin(), pts.end());
    ASSERT_GE(pts.size(), 2u);
    EXPECT_GE(pts[1] - pts[0], step);
    EXPECT_LE(pts[1] - pts[0], step + soundDelay + 1);
    for (size_t i = 2; i < pts.size(); ++i)
        ASSERT_EQ(pts[i] - pts[i - 1], step) << "packet " << i;
}

} // namespace

TEST_F(Encoder, VideoOnlyRecordingAtTwentyFramesAndThreeMegabits)
{
    UseNoSoundDevice(FHome);
    ASSERT_EQ(WaveInputDeviceCount(), 0);
    TPictureSource source(1280, 720, 12);
    source.Attach(FAdapter);
    const std::string file = OutputPath("video.mp4");
    ASSERT_TRUE(BuildRecordTask(file, 1280, 720, false)) << FEncoder.LastErrorMsg();
    const double wall = Record(3000ms);

    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    EXPECT_NE(probe.Format.find("mp4"), std::string::npos);
    ASSERT_EQ(probe.Streams.size(), 1u);
    const TProbedStream &video = probe.Streams[0];
    EXPECT_EQ(video.Type, AVMEDIA_TYPE_VIDEO);
    EXPECT_EQ(video.Codec, "mpeg4");
    EXPECT_EQ(video.Width, 1280);
    EXPECT_EQ(video.Height, 720);
    ExpectTwentyFramesASecond(video);
    if (TimingHolds) {
        EXPECT_NEAR(video.Duration, wall, wall * 0.1);
        // The encoder's average rate control overshoots in the first second (as the ffmpeg
        // tool does); over three seconds it lands within about 15 %.
        EXPECT_NEAR(video.BitRate(), 3000000, 3000000 * 0.3);
    }
    EXPECT_GT(source.Calls, 0);
}

TEST_F(Encoder, RecordingWithSoundFromTheDefaultCaptureDevice)
{
    UseTestSoundDevice(FHome);
    ASSERT_GT(WaveInputDeviceCount(), 0);
    TPictureSource source(640, 480, 6);
    source.Attach(FAdapter);
    const std::string file = OutputPath("with sound.mp4");
    ASSERT_TRUE(BuildRecordTask(file, 640, 480, true)) << FEncoder.LastErrorMsg();
    const double wall = Record(2500ms);

    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    ASSERT_EQ(probe.Streams.size(), 2u);
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    const TProbedStream *audio = probe.Find(AVMEDIA_TYPE_AUDIO);
    ASSERT_TRUE(video && audio);
    EXPECT_EQ(video->Codec, "mpeg4");
    EXPECT_EQ(video->Width, 640);
    EXPECT_EQ(video->Height, 480);
    ExpectTwentyFramesASecond(*video);
    EXPECT_NEAR(video->Duration, wall, wall * 0.1);
    EXPECT_EQ(audio->Codec, "aac");
    EXPECT_EQ(audio->SampleRate, 44100);
    EXPECT_EQ(audio->Channels, 2);
    EXPECT_NEAR(audio->Duration, video->Duration, 0.2);
    if (!qEnvironmentVariableIsSet("OVILEN_TEST_SYSTEM_SOUND")) { // a real device may be silent
        EXPECT_NEAR(audio->BitRate(), 64000, 64000 * 0.5);
    }
}

TEST_F(Encoder, PictureIsUpright)
{
    // Bottom-up rows as the grabber stores them: the first rows in memory are the
    // picture's bottom, here black; the top is white.
    FAdapter.SetOnReadFrameBMP([](TFrameInputAdapter *, uint8_t *data, TInputFrameInfo *info) {
        std::memset(data, 0, size_t(info->BytesPerFrame) / 2);
        std::memset(data + info->BytesPerFrame / 2, 255, size_t(info->BytesPerFrame) / 2);
        return 0;
    });
    const std::string file = OutputPath("upright.mp4");
    ASSERT_TRUE(BuildRecordTask(file, 320, 240, false)) << FEncoder.LastErrorMsg();
    Record(300ms);
    const THalves halves = FirstPictureHalves(file);
    ASSERT_TRUE(halves.Ok);
    EXPECT_GT(halves.Top, 200);
    EXPECT_LT(halves.Bottom, 40);
}

TEST_F(Encoder, PicturesBeforeTheFirstFrameAreBlack)
{
    // A handler that leaves the buffer alone: the frame input's own buffer is encoded.
    FAdapter.SetOnReadFrameBMP(
        [](TFrameInputAdapter *, uint8_t *, TInputFrameInfo *) { return 0; });
    const std::string file = OutputPath("black.mp4");
    ASSERT_TRUE(BuildRecordTask(file, 320, 240, false)) << FEncoder.LastErrorMsg();
    Record(300ms);
    const THalves halves = FirstPictureHalves(file);
    ASSERT_TRUE(halves.Ok);
    EXPECT_LT(halves.Top, 20);
    EXPECT_LT(halves.Bottom, 20);
}

TEST_F(Encoder, OutputSizeScalesThePicture)
{
    TPictureSource source(320, 240, 2);
    source.Attach(FAdapter);
    const std::string file = OutputPath("scaled.mp4");
    const int task = FEncoder.AddTask(FAdapter.InputName(), {VideoInputText(320, 240)});
    ASSERT_GE(task, 0) << FEncoder.LastErrorMsg();
    ASSERT_GE(FEncoder.SetOutput(task, file, {VideoOnlyOutput(160, 120)}), 0)
        << FEncoder.LastErrorMsg();
    Record(300ms);
    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    EXPECT_EQ(probe.Streams.at(0).Width, 160);
    EXPECT_EQ(probe.Streams.at(0).Height, 120);
}

TEST_F(Encoder, FullDiskEndsTheEncodeWithAnError)
{
    // A file size limit stands in for a full disk: writes past it fail ("File too large").
    TFileSizeLimit limit(64 * 1024);
    ASSERT_TRUE(limit.Set());
    TPictureSource source(640, 480, 4);
    source.Attach(FAdapter);
    const std::string file = OutputPath("full disk.mp4");
    ASSERT_TRUE(BuildRecordTask(file, 640, 480, false)) << FEncoder.LastErrorMsg();
    std::atomic<int> finished = 0;
    FEncoder.SetOnFinished([&] { ++finished; });
    ASSERT_TRUE(FEncoder.Start(1));
    const bool ended = ServeUntilFinished(FEncoder, 10s); // on its own
    limit.Restore();
    EXPECT_TRUE(ended);
    EXPECT_EQ(finished, 1); // the owner learns that the recording ended
    EXPECT_NE(FEncoder.LastErrorMsg().find("failed: File too large"), std::string::npos)
        << FEncoder.LastErrorMsg();
}

TEST_F(Encoder, UnusableLibrariesLeaveTheEncoderUnloaded)
{
    TFFEncoder encoder;
    TEncoderRequirements requirements;
    requirements.VideoEncoder = "no-such-video-encoder";
    EXPECT_FALSE(encoder.LoadLibraries(requirements));
    EXPECT_FALSE(encoder.Loaded());
    EXPECT_NE(encoder.LastErrorMsg().find("\"no-such-video-encoder\" is not available"),
              std::string::npos)
        << encoder.LastErrorMsg();
    EXPECT_LT(encoder.AddTask(FAdapter.InputName(), {VideoInputText(320, 240)}), 0);
    EXPECT_NE(encoder.LastErrorMsg().find("not loaded"), std::string::npos);
    EXPECT_FALSE(encoder.Start(1));
    EXPECT_FALSE(encoder.Working());
    encoder.Stop(false); // harmless
}

TEST_F(Encoder, OutputThatCannotBeCreatedIsRefused)
{
    const std::string file = OutputPath("no such folder/clip.mp4");
    const int task = FEncoder.AddTask(FAdapter.InputName(), {VideoInputText(320, 240)});
    ASSERT_GE(task, 0) << FEncoder.LastErrorMsg();
    EXPECT_LT(FEncoder.SetOutput(task, file, {VideoOnlyOutput(320, 240)}), 0);
    EXPECT_NE(FEncoder.LastErrorMsg().find("cannot create the output file"), std::string::npos)
        << FEncoder.LastErrorMsg();
    EXPECT_TRUE(FEncoder.RemoveTask(task));
    EXPECT_FALSE(FEncoder.Start(1));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file)));
}

struct TRefusedTask
{
    const char *Name;
    const char *Input; // "adapter" for the test's adapter
    std::string Options;
    const char *ErrorMentions;
};

// Test listings name a case by its name, not by its bytes.
void PrintTo(const TRefusedTask &ACase, std::ostream *AOut)
{
    *AOut << ACase.Name;
}

class EncoderRefusesInput : public Encoder, public testing::WithParamInterface<TRefusedTask>
{};

TEST_P(EncoderRefusesInput, WithALastErrorText)
{
    UseNoSoundDevice(FHome);
    const TRefusedTask &c = GetParam();
    const std::string name = std::strcmp(c.Input, "adapter") == 0 ? FAdapter.InputName() : c.Input;
    EXPECT_LT(FEncoder.AddTask(name, {c.Options}), 0);
    EXPECT_NE(FEncoder.LastErrorMsg().find(c.ErrorMentions), std::string::npos)
        << FEncoder.LastErrorMsg();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncoderRefusesInput,
    testing::Values(TRefusedTask{"NoSuchAdapter", "12345", VideoInputText(320, 240),
                                 "no frame input adapter"},
                    TRefusedTask{"UnknownOption", "adapter", VideoInputText(320, 240) + " -re 1",
                                 "unknown option \"-re\""},
                    TRefusedTask{"NoSoundDevice", "-1", WaveInputText,
                                 "cannot open the sound recording device \"default\""}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST_F(Encoder, MapNamingNoStreamIsRefused)
{
    const int task = FEncoder.AddTask(FAdapter.InputName(), {VideoInputText(320, 240)});
    ASSERT_GE(task, 0);
    EXPECT_LT(FEncoder.SetOutput(task, OutputPath("map.mp4"), {OutputWithSound(320, 240)}), 0);
    EXPECT_NE(FEncoder.LastErrorMsg().find("-map 1:0"), std::string::npos)
        << FEncoder.LastErrorMsg();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(OutputPath("map.mp4"))));
}

TEST_F(Encoder, TasksThatNeverRanLeaveNoFile)
{
    const std::string file = OutputPath("unused.mp4");
    ASSERT_TRUE(BuildRecordTask(file, 320, 240, false)) << FEncoder.LastErrorMsg();
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(file)));
    EXPECT_TRUE(FEncoder.ClearTasks());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file)));
}

TEST_F(Encoder, FailedHeaderRemovesOnlyAFileItCreated)
{
    // No write succeeds, so no header can be written (like a full disk or a device that
    // refuses writes).
    TFileSizeLimit limit(0);
    const std::string fresh = OutputPath("fresh.mp4");
    const std::string existing = OutputPath("existing.mp4");
    writeFile(QString::fromStdString(existing), "earlier content");
    int results[2];
    ASSERT_TRUE(limit.Set());
    for (int i = 0; i < 2; ++i) {
        const int task = FEncoder.AddTask(FAdapter.InputName(), {VideoInputText(320, 240)});
        results[i] =
            FEncoder.SetOutput(task, i == 0 ? fresh : existing, {VideoOnlyOutput(320, 240)});
        FEncoder.RemoveTask(task);
    }
    limit.Restore();
    EXPECT_LT(results[0], 0);
    EXPECT_LT(results[1], 0);
    EXPECT_NE(FEncoder.LastErrorMsg().find("cannot write the header"), std::string::npos)
        << FEncoder.LastErrorMsg();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(fresh)));
    // The earlier file is not ours: it keeps its place and its content, and
    // nothing is left beside it.
    EXPECT_EQ(readFile(QString::fromStdString(existing)), "earlier content");
    EXPECT_EQ(QDir(QString::fromStdString(OutputPath(""))).entryList(QDir::Files | QDir::Hidden),
              QStringList{"existing.mp4"});
}

TEST_F(Encoder, AnExistingFileIsReplacedOnlyByAnEncodeThatRuns)
{
    const std::string existing = OutputPath("again.mp4");
    const QString existingName = QString::fromStdString(existing);
    writeFile(existingName, "earlier content");
    QFile::setPermissions(existingName, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    // Set up, then dropped before it starts: the earlier file stays whole.
    ASSERT_TRUE(BuildRecordTask(existing, 320, 240, false)) << FEncoder.LastErrorMsg();
    ASSERT_TRUE(FEncoder.ClearTasks());
    EXPECT_EQ(readFile(existingName), "earlier content");
    EXPECT_EQ(QDir(QString::fromStdString(OutputPath(""))).entryList(QDir::Files | QDir::Hidden),
              QStringList{"again.mp4"});

    // A recording that runs takes its place, with its permissions.
    TPictureSource source(320, 240, 2);
    source.Attach(FAdapter);
    ASSERT_TRUE(BuildRecordTask(existing, 320, 240, false)) << FEncoder.LastErrorMsg();
    Record(300ms);
    EXPECT_EQ(QFileInfo(existingName).permissions() & 0xF0FF, // owner, group, others
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const TProbedFile probe = ProbeFile(existing);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    EXPECT_GT(probe.Streams.at(0).Pts.size(), 2u);
    EXPECT_EQ(QDir(QString::fromStdString(OutputPath(""))).entryList(QDir::Files | QDir::Hidden),
              QStringList{"again.mp4"});
}

TEST_F(Encoder, TaskListCannotBeClearedWhileAnEncodeWorks)
{
    TPictureSource source(320, 240, 2);
    source.Attach(FAdapter);
    ASSERT_TRUE(BuildRecordTask(OutputPath("first.mp4"), 320, 240, false));
    ASSERT_TRUE(FEncoder.Start(1));
    ServeEventsFor(200ms);
    EXPECT_FALSE(FEncoder.ClearTasks());
    EXPECT_NE(FEncoder.LastErrorMsg().find("still finishing"), std::string::npos);
    EXPECT_FALSE(FEncoder.Start(1));
    FEncoder.Stop(false);
    ASSERT_TRUE(ServeUntilFinished(FEncoder));

    // Once finished, the same encoder and adapter record again.
    ASSERT_TRUE(BuildRecordTask(OutputPath("second.mp4"), 320, 240, false))
        << FEncoder.LastErrorMsg();
    Record(300ms);
    for (const char *name : {"first.mp4", "second.mp4"}) {
        const TProbedFile probe = ProbeFile(OutputPath(name));
        ASSERT_TRUE(probe.Ok) << name;
        EXPECT_GT(probe.Streams.at(0).Pts.size(), 2u) << name;
    }
}

TEST_F(Encoder, StopNeverWaitsForABusyMainThread)
{
    TPictureSource source(320, 240, 2);
    source.Attach(FAdapter);
    const std::string file = OutputPath("busy.mp4");
    ASSERT_TRUE(BuildRecordTask(file, 320, 240, false));
    ASSERT_TRUE(FEncoder.Start(1));
    // The main thread does not serve requests, then stops the encode and waits for it, as
    // it does when the program ends.
    std::this_thread::sleep_for(1200ms);
    FEncoder.Stop(true);
    EXPECT_FALSE(FEncoder.Working());
    QCoreApplication::processEvents();
    EXPECT_EQ(source.Calls, 0); // requests still queued were withdrawn
    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    // Requests that timed out kept the (black) picture with default stamps.
    EXPECT_GE(probe.Streams.at(0).Pts.size(), 2u);
}

TEST_F(Encoder, SoundDeviceFailingMidRecordingKeepsTheVideoGoing)
{
    UseTestSoundDevice(FHome, "fail_after_ms 800");
    TPictureSource source(320, 240, 2);
    source.Attach(FAdapter);
    const std::string file = OutputPath("sound lost.mp4");
    ASSERT_TRUE(BuildRecordTask(file, 320, 240, true)) << FEncoder.LastErrorMsg();
    const double wall = Record(2000ms);
    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    const TProbedStream *audio = probe.Find(AVMEDIA_TYPE_AUDIO);
    ASSERT_TRUE(video && audio);
    EXPECT_NEAR(video->Duration, wall, wall * 0.1);
    EXPECT_NEAR(audio->Duration, 0.8, 0.25);
}

TEST_F(Encoder, FailingFrameHandlerEndsTheEncodeWithAFinishedFile)
{
    TPictureSource source(320, 240, 2);
    source.FailAfter = 10;
    source.Attach(FAdapter);
    const std::string file = OutputPath("handler failed.mp4");
    ASSERT_TRUE(BuildRecordTask(file, 320, 240, false));
    ASSERT_TRUE(FEncoder.Start(1));
    ASSERT_TRUE(ServeUntilFinished(FEncoder, 10s)); // ends on its own
    EXPECT_NE(FEncoder.LastErrorMsg().find("frame input ended the recording"), std::string::npos)
        << FEncoder.LastErrorMsg();
    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    EXPECT_NEAR(probe.Streams.at(0).Duration, 10 / 30.0, 0.15);
}
