// The capture pipeline on its own, without the component or any widget, on a
// simulated camera through the real stages: start, first frame, stop and
// restart, a run without a picture sink, lost cameras and a refused mode.
#include "capture/devices/SimulatedCamera.h"
#include "capture/engine/CaptureGraph.h"
#include "capture/engine/SampleGrabberCB.h"
#include "capture/engine/SampleSink.h"

#include <QTest>
#include <atomic>
#include <gtest/gtest.h>

namespace {

const QString GraphCam = QStringLiteral("usb#VID_0000&PID_2003#graph0");

bool WaitUntil(const std::function<bool()> &done, int ms = 10000)
{
    return QTest::qWaitFor(done, ms);
}

// Counts the frames the renderer delivers.
class TCountingSink : public TSampleSink
{
public:
    void Present(GstSample *) override { ++Frames; }
    std::atomic<int> Frames{0};
};

TDeviceMode ModeOf(const TCaptureDevicePtr &device, int width, int height)
{
    for (const TDeviceMode &mode : device->ReadModes())
        if (mode.Mode.Width == width && mode.Mode.Height == height)
            return mode;
    return {};
}

class Graph : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gst_init_check(nullptr, nullptr, nullptr));
        TSimulatedCameras::Clear();
        TSimulatedCamera camera;
        camera.FriendlyName = QStringLiteral("Graph Cam");
        camera.DevicePath = GraphCam;
        camera.Modes = {{320, 240, true, 30}, {160, 120, false, 30}};
        camera.Refused = {{160, 120}};
        TSimulatedCameras::Add(camera);
        const auto devices = EnumerateDevices({std::make_shared<TSimulatedProvider>()});
        ASSERT_EQ(devices.size(), 1u);
        Device = devices.front();
        ASSERT_TRUE(Pipeline.Bind(Device, camera.FriendlyName));
        ASSERT_TRUE(Pipeline.SetFormat(ModeOf(Device, 320, 240)));
        Pipeline.OnAttachSink = [this]() -> TSampleSink * {
            ++Attached;
            return WithSink ? &Sink : nullptr;
        };
        Pipeline.OnDetachSink = [this] {
            ++Detached;
        };
        Pipeline.OnFirstFrame = [this] {
            ++FirstFrames;
        };
        Pipeline.OnLost = [this](bool beforeFirstFrame) {
            Losses.push_back(beforeFirstFrame);
            Pipeline.Stop();
        };
        Pipeline.OnFrameReady = [this](TSampleGrabberCB &cb) {
            const TSampleGrabberCB::TBufferAccess access(cb);
            ReadyBytes = cb.BufferLength();
            ++Ready;
        };
    }
    void TearDown() override
    {
        Pipeline.Release();
        TSimulatedCameras::Clear();
    }
    int Children() const { return GST_BIN(Pipeline.Pipeline())->numchildren; }

    TSampleGrabberCB Grabber;
    TCaptureGraph Pipeline{Grabber};
    TCaptureDevicePtr Device;
    TCountingSink Sink;
    bool WithSink = true;
    int Attached = 0, Detached = 0, FirstFrames = 0, Ready = 0;
    std::uint32_t ReadyBytes = 0;
    std::vector<bool> Losses;
};

TEST_F(Graph, StartFirstFrameStopAndRestart)
{
    for (const bool sink : {true, false}) {
        SCOPED_TRACE(sink ? "with a sink" : "without a sink");
        WithSink = sink;
        const int runs = FirstFrames, sunk = Sink.Frames, ready = Ready;
        ASSERT_TRUE(Pipeline.Start());
        EXPECT_TRUE(Pipeline.Running());
        EXPECT_TRUE(Pipeline.Built());
        EXPECT_EQ(Children(), 7); // the camera and the six stages
        ASSERT_TRUE(WaitUntil([&] { return FirstFrames == runs + 1; }));
        EXPECT_TRUE(Pipeline.FirstFrameShown());
        EXPECT_TRUE(Pipeline.Start()); // already running: nothing new

        // Frames reach the grabber, and the sink when there is one.
        Grabber.SetGrabbingEnabled(true);
        ReadyBytes = 0;
        ASSERT_TRUE(WaitUntil([&] { return Ready == ready + 1; }));
        EXPECT_EQ(ReadyBytes, 320u * 240u * 3u);
        QTest::qWait(300);
        EXPECT_EQ(FirstFrames, runs + 1); // once per run
        if (sink)
            EXPECT_GT(Sink.Frames, sunk + 3);
        else
            EXPECT_EQ(Sink.Frames, sunk);

        ASSERT_TRUE(Pipeline.Stop());
        EXPECT_FALSE(Pipeline.Running());
        EXPECT_FALSE(Pipeline.Built());
        EXPECT_EQ(Children(), 1); // only the camera stays
        EXPECT_EQ(Detached, Attached);
        const int afterStop = Sink.Frames;
        QTest::qWait(200);
        EXPECT_EQ(Sink.Frames, afterStop);
    }
    EXPECT_TRUE(Losses.empty());
}

// Every stage of a run is freed when the run ends: a stage kept alive keeps
// its buffer pool and that pool's descriptors, one more with every run.
TEST_F(Graph, AStoppedRunFreesItsStages)
{
    static std::atomic<int> freed{0};
    int made = 0;
    Pipeline.SetStageFactory([&](const char *factory, const char *name) {
        GstElement *stage = gst_element_factory_make(factory, name);
        if (stage) {
            ++made;
            g_object_weak_ref(
                G_OBJECT(stage), [](gpointer, GObject *) { ++freed; }, nullptr);
        }
        return stage;
    });
    for (int run = 1; run <= 2; ++run) {
        freed = 0;
        made = 0;
        ASSERT_TRUE(Pipeline.Start());
        ASSERT_TRUE(WaitUntil([&] { return FirstFrames == run && Sink.Frames > 3 * run; }));
        ASSERT_TRUE(Pipeline.Stop());
        EXPECT_EQ(made, 6);
        EXPECT_EQ(freed, made) << "run " << run;
    }
}

struct TLossCase
{
    const char *Name;
    int DropAfterFrames; // -1: dropped by the test once the picture runs
    bool BeforeFirstFrame;
};

class GraphLosses : public Graph, public testing::WithParamInterface<TLossCase>
{};

TEST_P(GraphLosses, ALostCameraIsReportedOnceAndARunFollowsItsReturn)
{
    const TLossCase &c = GetParam();
    ASSERT_TRUE(TSimulatedCameras::SetDropAfterFrames(GraphCam, c.DropAfterFrames));
    ASSERT_TRUE(Pipeline.Start());
    if (c.DropAfterFrames < 0) {
        ASSERT_TRUE(WaitUntil([&] { return FirstFrames == 1; }));
        ASSERT_TRUE(TSimulatedCameras::DropOut(GraphCam));
    }
    ASSERT_TRUE(WaitUntil([&] { return !Losses.empty(); }));
    QTest::qWait(200);
    EXPECT_EQ(Losses, std::vector<bool>{c.BeforeFirstFrame});
    EXPECT_FALSE(Pipeline.Running());
    EXPECT_EQ(Children(), 1);

    // Back again, the camera runs again on the same pipeline.
    TSimulatedCameras::SetDropAfterFrames(GraphCam, -1);
    TSimulatedCameras::PlugIn(GraphCam);
    const int runs = FirstFrames;
    ASSERT_TRUE(Pipeline.Start());
    ASSERT_TRUE(WaitUntil([&] { return FirstFrames == runs + 1; }));
    EXPECT_EQ(Losses.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, GraphLosses,
                         testing::Values(TLossCase{"AfterItsPicture", -1, false},
                                         TLossCase{"BeforeItsFirstFrame", 0, true}),
                         [](const auto &info) { return std::string(info.param.Name); });

// Without an owner to hear it, a loss stops the run by itself.
TEST_F(Graph, ALossWithoutAnOwnerStopsTheRun)
{
    Pipeline.OnLost = nullptr;
    ASSERT_TRUE(Pipeline.Start());
    ASSERT_TRUE(WaitUntil([&] { return FirstFrames == 1; }));
    ASSERT_TRUE(TSimulatedCameras::DropOut(GraphCam));
    ASSERT_TRUE(WaitUntil([&] { return !Pipeline.Running(); }));
    EXPECT_EQ(Children(), 1);
}

TEST_F(Graph, ARefusedModeFailsTheStartAndTheNextModeRuns)
{
    ASSERT_TRUE(Pipeline.ApplyMode(ModeOf(Device, 160, 120)));
    EXPECT_EQ(Pipeline.CurrentFormat().Mode.Width, 160);
    EXPECT_FALSE(Pipeline.Start());
    EXPECT_FALSE(Pipeline.Running());
    EXPECT_EQ(FirstFrames, 0);
    ASSERT_TRUE(Pipeline.ApplyMode(ModeOf(Device, 320, 240)));
    ASSERT_TRUE(Pipeline.Start());
    ASSERT_TRUE(WaitUntil([&] { return FirstFrames == 1; }));
    EXPECT_EQ(Children(), 7);
}

TEST_F(Graph, ReleaseDropsTheCameraAndAnUnboundPipelineDoesNotStart)
{
    ASSERT_TRUE(Pipeline.Start());
    Pipeline.Release();
    EXPECT_FALSE(Pipeline.Running());
    EXPECT_EQ(Pipeline.Pipeline(), nullptr);
    EXPECT_EQ(Pipeline.Device(), nullptr);
    EXPECT_EQ(Detached, Attached);
    ASSERT_TRUE(Pipeline.Init());
    EXPECT_FALSE(Pipeline.Start());
}

} // namespace
