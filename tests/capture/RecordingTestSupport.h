#pragma once

// Helpers of the recording tests: the component with its recording state in
// reach, a simulated camera to record, and the recorded pictures read back
// with libavcodec.

#include "CaptureTestSupport.h"
#include "EncodingTestSupport.h"
#include "encoding/FFEncoder.h"

#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

// The component as the recording tests drive it.
class TRecordingCap : public TTestVideoCap
{
public:
    TRecordingCap()
    {
        OnRecording = [this](TCustomVideoCap *, std::int64_t stamp) {
            if (!StampClock.isValid())
                StampClock.start();
            Stamps.push_back(stamp);
            StampTimes.push_back(StampClock.nsecsElapsed() / 1000);
        };
    }

    bool EncoderLoaded() { return RecordSession().EncoderLoaded(); }
    // Loads the encoder again with what it must find in the libraries.
    void ReloadEncoder(const TEncoderRequirements &requirements)
    {
        RecordSession().LoadEncoder(requirements);
    }
    bool EncodeWorking() { return RecordSession().Finishing(); }
    // Waits for the encode to finish its file (it needs no UI thread then).
    bool WaitForFile(std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        TFFEncoder *encoder = RecordSession().Encoder();
        return !encoder || encoder->WaitForFinish(limit);
    }
    // As when a frame-ready message came after the last request of a recording.
    void LeaveFrameFlagSet() { RecordSession().TakeFrame(GrabberCB()); }

    // OnRecording: each stamp (microseconds) and when it came, in microseconds
    // after the first.
    std::vector<std::int64_t> Stamps, StampTimes;
    QElapsedTimer StampClock;
};

// A component bound to a simulated camera, recording into a temporary home.
inline const QString DocCam = QStringLiteral("usb#VID_0000&PID_2003#rec0");

class Recorder : public testing::Test
{
protected:
    void SetUp() override { TSimulatedCameras::Clear(); }
    void TearDown() override
    {
        Cap.StopRecord();
        EXPECT_TRUE(Cap.WaitForFile());
        TSimulatedCameras::Clear();
    }

    void UseCamera(TSimulatedCamera camera)
    {
        const TSimulatedMode mode = camera.Modes.front();
        TSimulatedCameras::Add(camera);
        ASSERT_TRUE(Cap.Init());
        Cap.SetVideoDeviceIndex(0);
        ASSERT_TRUE(Cap.setVideoSize(mode.Width, mode.Height, QStringLiteral("MJPG")));
    }
    void UseCamera(int width, int height)
    {
        UseCamera(SimCamera(QStringLiteral("Doc Cam"), DocCam, {{width, height, true, 30}}));
    }

    std::string File(const char *name) const
    {
        return (Home.documents() + u'/' + QString::fromUtf8(name)).toStdString();
    }

    // Records into file for about length; the seconds from the start of the
    // recording to its stop, or -1 when it did not start.
    double Record(const std::string &file, std::chrono::milliseconds length)
    {
        Cap.SetRecordFilename(QString::fromStdString(file));
        if (!Cap.StartRecord())
            return -1;
        QElapsedTimer wall;
        wall.start();
        Spin(int(length.count()));
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        Cap.StopRecord();
        EXPECT_TRUE(Cap.WaitForFile());
        return seconds;
    }

    TempHome Home; // outlives the component, which may still finish a file in it
    TRecordingCap Cap;
};

// The reading end of a pipe a recording is written into: while nobody drains
// it, that encode cannot finish its file.
class THeldOutput
{
public:
    explicit THeldOutput(const std::string &path);
    ~THeldOutput();
    bool Ok() const { return FFd >= 0; }
    // Reads everything from here on, until the writer closes the file.
    void Release();
    // What was written, once the writer has closed the file.
    std::string Finish()
    {
        if (FDrain.joinable())
            FDrain.join();
        return FBytes;
    }

private:
    int FFd = -1;
    std::atomic<bool> FStop{false};
    std::thread FDrain;
    std::string FBytes;
};

// A decoded picture of a video file: its planes in yuv420p.
struct TDecodedPicture
{
    bool Ok = false;
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Y, U, V; // tightly packed; U and V at half size
    int Count = 0;                     // pictures decoded up to this one
};

// The picture with that index in display order; -1 for the last.
TDecodedPicture DecodePicture(const std::string &path, int index);

// Mean luma of each of cols x rows blocks, row by row.
std::vector<double> BlockLuma(const TDecodedPicture &picture, int cols, int rows);
// The same of a grabbed BGR frame, in the limited-range luma an encoder gets.
std::vector<double> BlockLuma(const TGrabbed &frame, int cols, int rows);
// Largest difference between two lists of block means.
double LargestDifference(const std::vector<double> &a, const std::vector<double> &b);
// Mean distance of the chroma from neutral grey (0 for a grey picture).
double ChromaStrength(const TDecodedPicture &picture);

// The types of an MP4 file's top-level boxes, in file order ("ftyp", "moov",
// "moof", "mdat", ..., "mfra").
std::vector<std::string> TopLevelBoxes(const std::string &path);
