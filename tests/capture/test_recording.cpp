// Recordings of simulated cameras through the capture component, checked in
// the written files with libavformat: the streams and their timing, the
// recording clock, the pictures, and the option texts and frame copy they are
// made with.
#include "RecordingTestSupport.h"
#include "capture/engine/RecordFrameCopy.h"
#include "capture/engine/RecordOptions.h"

#include <atomic>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

struct TRecordCase
{
    const char *Name;
    int Width, Height;
    bool Sound; // a default capture PCM is set up
};

void PrintTo(const TRecordCase &c, std::ostream *os)
{
    *os << c.Name;
}

class RecordingFile : public Recorder, public testing::WithParamInterface<TRecordCase>
{};

TEST_P(RecordingFile, FileHasTheStreamsTimingAndClockOfTheRecording)
{
    const TRecordCase &c = GetParam();
    if (c.Sound)
        UseTestSoundDevice(Home);
    else
        UseNoSoundDevice(Home);
    ASSERT_EQ(Cap.AudioDeviceCount() > 0, c.Sound);
    // Moving colour bars with a noise patch: the encoder has to hold its bit rate.
    TSimulatedCamera camera =
        SimCamera(QStringLiteral("Doc Cam"), DocCam, {{c.Width, c.Height, true, 30}});
    camera.Pattern = QStringLiteral("smpte");
    camera.Speed = 4;
    UseCamera(camera);
    const std::string file = File("clip.mp4");
    const int changes = Cap.ChangeFilterCount;

    Cap.SetRecordFilename(QString::fromStdString(file));
    ASSERT_TRUE(Cap.StartRecord());
    QElapsedTimer wallClock; // the recording runs from here
    wallClock.start();
    EXPECT_TRUE(Cap.Recording());
    EXPECT_TRUE(Cap.Previewing());
    EXPECT_EQ(Cap.ChangeFilterCount, changes + 1);
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartRecordCount == 1; }));
    EXPECT_EQ(Cap.StartPreviewCount, 0);
    Spin(3000);
    const double wall = double(wallClock.nsecsElapsed()) / 1e9;
    Cap.StopRecord();
    EXPECT_FALSE(Cap.Recording());
    EXPECT_FALSE(Cap.Previewing());
    EXPECT_EQ(GST_BIN(Cap.Graph())->numchildren, 1); // only the camera is left
    EXPECT_EQ(Cap.StopRecordCount, 1);
    EXPECT_EQ(Cap.StartRecordCount, 1);
    ASSERT_TRUE(Cap.WaitForFile());

    // The clock: microseconds since the first frame request, growing.
    ASSERT_GT(Cap.Stamps.size(), TimingHolds ? 30u : 1u);
    EXPECT_EQ(Cap.Stamps.front(), 0);
    for (size_t i = 1; i < Cap.Stamps.size(); ++i) {
        // Each frame in the file has a stamp of its own.
        ASSERT_GT(Cap.Stamps[i], Cap.Stamps[i - 1]) << i;
        // The time the request ran, in microseconds. Between taking the time
        // and raising OnRecording the request copies the frame under the
        // grabber's lock, which a descheduled streaming thread can hold for a
        // while on a busy machine (more so under ThreadSanitizer); a clock of
        // another unit or one that counts frames is off by far more.
        EXPECT_NEAR(double(Cap.Stamps[i]), double(Cap.StampTimes[i]), TimingHolds ? 250000 : 500000)
            << i;
    }
    if (TimingHolds) {
        EXPECT_NEAR(double(Cap.Stamps.back()) / 1e6, wall, wall * 0.1);
    }

    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    EXPECT_NE(probe.Format.find("mp4"), std::string::npos);
    ASSERT_EQ(probe.Streams.size(), c.Sound ? 2u : 1u);
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->Codec, "mpeg4");
    EXPECT_EQ(video->Width, c.Width);
    EXPECT_EQ(video->Height, c.Height);
    EXPECT_EQ(av_cmp_q(video->FrameRate, AVRational{20, 1}), 0)
        << video->FrameRate.num << "/" << video->FrameRate.den;
    if (TimingHolds) {
        EXPECT_NEAR(video->Duration, wall, wall * 0.1);
        EXPECT_NEAR(video->BitRate(), 3000000, 3000000 * 0.3);
    }
    if (c.Sound) {
        const TProbedStream *audio = probe.Find(AVMEDIA_TYPE_AUDIO);
        ASSERT_NE(audio, nullptr);
        EXPECT_EQ(audio->Codec, "aac");
        EXPECT_EQ(audio->SampleRate, 44100);
        EXPECT_EQ(audio->Channels, 2);
        EXPECT_NEAR(audio->Duration, video->Duration, TimingHolds ? 0.2 : 0.6);
    }
    // Finished on the stop: the fragments are followed by their index.
    const std::vector<std::string> boxes = TopLevelBoxes(file);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), "mfra");
}

INSTANTIATE_TEST_SUITE_P(Cases, RecordingFile,
                         testing::Values(TRecordCase{"VideoOnly", 1280, 720, false},
                                         TRecordCase{"WithSound", 640, 480, true}),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST_F(Recorder, EffectsAndRotationAreOffAndThePictureIsTheCamerasOwn)
{
    UseNoSoundDevice(Home);
    // A width whose rows of W x 3 bytes are padded in both layouts.
    UseCamera(322, 242);
    ASSERT_TRUE(Cap.StartPreview());
    TGrabbed reference;
    ASSERT_TRUE(Cap.Grab(reference));
    Cap.SetHorizontal(true);
    Cap.SetVertical(true);
    Cap.SetGrayscale(true);
    Cap.SetInvertColor(true);
    Cap.SetVideoRotate(vrt90);
    ASSERT_EQ(Cap.VideoWidth(), 242);

    const std::string file = File("plain.mp4");
    ASSERT_GT(Record(file, 1500ms), 0);
    EXPECT_FALSE(Cap.Horizontal());
    EXPECT_FALSE(Cap.Vertical());
    EXPECT_FALSE(Cap.Grayscale());
    EXPECT_FALSE(Cap.InvertColor());
    EXPECT_EQ(Cap.VideoRotate(), vrtNone);

    const TDecodedPicture last = DecodePicture(file, -1);
    ASSERT_TRUE(last.Ok);
    EXPECT_EQ(last.Width, 322);
    EXPECT_EQ(last.Height, 242);
    // The camera's picture, upright, unmirrored, in colour.
    EXPECT_LT(LargestDifference(BlockLuma(last, 8, 6), BlockLuma(reference, 8, 6)), 12);
    EXPECT_GT(ChromaStrength(last), 20);
}

TEST_F(Recorder, PicturesBeforeTheFirstGrabbedFrameAreBlack)
{
    UseNoSoundDevice(Home);
    UseCamera(320, 240);
    ASSERT_TRUE(Cap.StartPreview());
    TGrabbed grabbed;
    ASSERT_TRUE(Cap.Grab(grabbed)); // the grabber buffer holds a picture
    Cap.StopPreview();
    // A frame-ready message left over from an earlier recording.
    Cap.LeaveFrameFlagSet();
    // The camera's frames come half a second late.
    Cap.SetStageFactory([](const char *factory, const char *name) -> GstElement * {
        if (std::string(factory) != "videoconvert")
            return gst_element_factory_make(factory, name);
        GstElement *bin = gst_parse_bin_from_description(
            "identity sleep-time=500000 ! videoconvert", TRUE, nullptr);
        if (bin)
            gst_object_set_name(GST_OBJECT(bin), name);
        return bin;
    });

    const std::string file = File("late.mp4");
    ASSERT_GT(Record(file, 2000ms), 0);
    const TDecodedPicture first = DecodePicture(file, 0);
    const TDecodedPicture last = DecodePicture(file, -1);
    ASSERT_TRUE(first.Ok && last.Ok);
    const std::vector<double> black = BlockLuma(first, 4, 3);
    EXPECT_LT(*std::max_element(black.begin(), black.end()), 20);
    EXPECT_LT(ChromaStrength(first), 4);
    // The camera's picture follows once its frames arrive.
    EXPECT_LT(LargestDifference(BlockLuma(last, 8, 6), BlockLuma(grabbed, 8, 6)), 12);
}

TEST_F(Recorder, StopAndStartAtOnceRecordsBothFiles)
{
    UseNoSoundDevice(Home);
    UseCamera(320, 240);
    Cap.SetRecordFilename(QString::fromStdString(File("first.mp4")));
    ASSERT_TRUE(Cap.StartRecord());
    Spin(800);
    Cap.StopRecord();
    // The first file may still be finishing: the new one starts once it is.
    Cap.SetRecordFilename(QString::fromStdString(File("second.mp4")));
    ASSERT_TRUE(Cap.StartRecord());
    Spin(800);
    Cap.StopRecord();
    ASSERT_TRUE(Cap.WaitForFile());
    for (const char *name : {"first.mp4", "second.mp4"}) {
        const TProbedFile probe = ProbeFile(File(name));
        ASSERT_TRUE(probe.Ok) << name << ": " << probe.Error;
        EXPECT_NEAR(probe.Streams.at(0).Duration, 0.8, 0.3) << name;
    }
}

// A start while the previous encode cannot finish its file does not wait for
// it on the UI thread: the recording starts, and its file follows once the
// previous one is finished.
TEST_F(Recorder, StartWhileThePreviousFileFinishesDoesNotWait)
{
    UseNoSoundDevice(Home);
    UseCamera(320, 240);
    THeldOutput held(File("first.mp4"));
    ASSERT_TRUE(held.Ok());
    Cap.SetRecordFilename(QString::fromStdString(File("first.mp4")));
    ASSERT_TRUE(Cap.StartRecord());
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartRecordCount == 1; }));
    Spin(300);
    Cap.StopRecord();
    ASSERT_TRUE(Cap.EncodeWorking()); // held by the full pipe

    const std::string second = File("second.mp4");
    Cap.SetRecordFilename(QString::fromStdString(second));
    const bool started = Cap.StartRecord();
    const bool previousStillWorking = Cap.EncodeWorking();
    const size_t requests = Cap.Stamps.size();
    held.Release();
    ASSERT_TRUE(started);
    EXPECT_TRUE(previousStillWorking);
    EXPECT_TRUE(Cap.Recording());

    // The previous file is finished, then the new recording's encode runs.
    ASSERT_TRUE(WaitUntil([&] { return Cap.Stamps.size() > requests + 10; }));
    EXPECT_EQ(Cap.StartRecordCount, 2);
    EXPECT_EQ(Cap.StopRecordCount, 1);
    Cap.StopRecord();
    ASSERT_TRUE(Cap.WaitForFile());
    EXPECT_EQ(Cap.StopRecordCount, 2);
    EXPECT_TRUE(ProbeFile(second).Ok);
    const std::string firstBytes = held.Finish();
    const std::string copy = File("first-copy.mp4");
    {
        std::ofstream out(copy, std::ios::binary);
        out << firstBytes;
    }
    const TProbedFile first = ProbeFile(copy);
    ASSERT_TRUE(first.Ok) << first.Error;
    EXPECT_EQ(TopLevelBoxes(copy).back(), "mfra");
}

TEST_F(Recorder, AudioDeviceCountFollowsTheDefaultCapturePcm)
{
    UseTestSoundDevice(Home); // (in the test VM: the system's own, a real driver)
    EXPECT_EQ(Cap.AudioDeviceCount(), 1);
    UseSoundConfig(Home, "pcm.!default { type null }\n");
    EXPECT_EQ(Cap.AudioDeviceCount(), 1);
    UseNoSoundDevice(Home);
    EXPECT_EQ(Cap.AudioDeviceCount(), 0);
}

TEST(RecordOptions, TextsOfTheEncodeTask)
{
    EXPECT_EQ(RecordVideoInputOptions(1280, 720),
              "-f frameinput -input_type bmp -pix_fmt bgr24 -r 30/1 -s 1280x720");
    EXPECT_STREQ(RecordAudioInputOptions, "-f wavecapture -ar 44100 -ac 2 -sample_fmt u8");
    EXPECT_STREQ(RecordAudioInputName, "-1");
    EXPECT_EQ(RecordOutputOptions(1280, 720, 20, true, 0),
              "-c:v mpeg4 -b:v 3000k -c:a aac -strict experimental -b:a 64k -r 20/1 -s 1280x720 "
              "-vsync -1 -map 0:0 -map 1:0");
    EXPECT_EQ(RecordOutputOptions(1280, 720, 20, false, 0),
              "-c:v mpeg4 -b:v 3000k -r 20/1 -s 1280x720");
    EXPECT_EQ(RecordOutputOptions(322, 242, 15, false, 0),
              "-c:v mpeg4 -b:v 3000k -r 15/1 -s 322x242");
}

TEST(RecordFrameCopy, RowsGoBottomUpWhateverThePadding)
{
    // 5 pixels: 15 bytes a row, padded to 20 in the grabber and to 16 in the
    // frame input.
    const int width = 5, height = 3, stride = 20, bytesPerLine = 16;
    std::vector<std::uint8_t> grabbed(size_t(stride) * height);
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < stride; ++i)
            grabbed[size_t(y * stride + i)] = std::uint8_t(i < width * 3 ? 10 * (y + 1) + i : 0xEE);
    std::vector<std::uint8_t> input(size_t(bytesPerLine) * height, 0x55);
    CopyGrabbedFrame({grabbed.data(), grabbed.size(), width, height, stride}, input.data(), width,
                     height, bytesPerLine);
    for (int row = 0; row < height; ++row) {
        const int pictureRow = height - 1 - row; // the first row in memory is the bottom
        for (int i = 0; i < bytesPerLine; ++i) {
            const std::uint8_t expected =
                i < width * 3 ? std::uint8_t(10 * (pictureRow + 1) + i) : 0x55;
            ASSERT_EQ(input[size_t(row * bytesPerLine + i)], expected) << row << "," << i;
        }
    }

    // A short buffer copies the rows it holds; the rest keeps its picture.
    std::vector<std::uint8_t> partial(size_t(bytesPerLine) * height, 0x55);
    CopyGrabbedFrame({grabbed.data(), size_t(stride) + 15, width, height, stride}, partial.data(),
                     width, height, bytesPerLine);
    EXPECT_EQ(partial[0], 0x55);                      // the bottom row: not in the buffer
    EXPECT_EQ(partial[size_t(bytesPerLine)], 20);     // the middle row
    EXPECT_EQ(partial[size_t(2 * bytesPerLine)], 10); // the top row
}

} // namespace
