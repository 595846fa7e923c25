// The live pipeline at 1920x1080 MJPEG 30 fps on a simulated camera with
// every effect on, against the same stages run by gst-launch-1.0 into a fake
// sink over the same number of frames: frames per second, frames dropped,
// and processor time (user + system, all threads) per frame. The two runs
// alternate over a few rounds so that both see the same machine load; the
// counters are the medians of the rounds (aim: cpu_vs_gst_launch <= 1.2,
// fps 30, frames_dropped 0).
#include "BenchSupport.h"
#include "capture/CustomVideoCap.h"
#include "capture/SimulatedCamera.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

constexpr int Frames = 300; // ten seconds at 30 fps
constexpr int Rounds = 3;
const QString CamPath = QStringLiteral("usb#VID_0000&PID_2003#bench0");

struct TRun
{
    bool Ok = false;
    double Wall = 0, Cpu = 0;
    double Presented = 0;
};

// The same stages as the component's pipeline: the simulated camera (test
// picture, JPEG encoder, its queue), tee, decoder, rotation, converter to BGR.
TRun RunGstLaunch()
{
    const std::string frames = "num-buffers=" + std::to_string(Frames);
    std::vector<std::string> args = {
        "gst-launch-1.0",
        "-q",
        "videotestsrc",
        "is-live=true",
        "pattern=smpte",
        "horizontal-speed=4",
        frames,
        "!",
        "video/x-raw,format=I420,width=1920,height=1080,framerate=30/1",
        "!",
        "jpegenc",
        "!",
        "queue",
        "leaky=downstream",
        "max-size-buffers=3",
        "max-size-bytes=0",
        "max-size-time=0",
        "!",
        "tee",
        "!",
        "jpegdec",
        "!",
        "videoflip",
        "video-direction=identity",
        "!",
        "videoconvert",
        "!",
        "video/x-raw,format=BGR",
        "!",
        "fakesink",
        "sync=false"};
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    TRun run;
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "gst-launch-1.0", nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.Wall = clock.elapsed() / 1000.0;
    run.Cpu = CpuSeconds(usage);
    run.Presented = Frames;
    run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// The component with every effect on, its picture window shown or not.
TRun RunComponent(bool shown)
{
    TRun run;
    TCustomVideoCap cap;
    cap.SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
    cap.resize(960, 540);
    if (shown)
        cap.show();
    if (!cap.Init())
        return run;
    cap.SetVideoDeviceIndex(0);
    cap.SetAspectRatio(true);
    cap.SetInvertColor(true);
    cap.SetGrayscale(true);
    cap.SetHorizontal(true);
    cap.SetVertical(true);
    cap.SetSelectionMode(true);
    cap.GrabberCB().SetSelectionRect({400, 200, 1500, 900});

    // The camera sends its frames and is then lost, which stops the preview:
    // every frame it sent had the time to reach the window.
    TSimulatedCameras::SetDropAfterFrames(CamPath, Frames);
    const double cpuBefore = ProcessCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    if (!cap.StartPreview())
        return run;
    // Frames that reach the renderer.
    std::atomic<std::uint64_t> presented{0};
    GstElement *renderer = gst_bin_get_by_name(GST_BIN(cap.Graph()), "KARVORenderFilter");
    GstPad *rendererIn = gst_element_get_static_pad(renderer, "sink");
    gst_pad_add_probe(
        rendererIn, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad *, GstPadProbeInfo *, gpointer n) {
            ++*static_cast<std::atomic<std::uint64_t> *>(n);
            return GST_PAD_PROBE_OK;
        },
        &presented, nullptr);
    gst_object_unref(rendererIn);
    gst_object_unref(renderer);
    run.Ok = QTest::qWaitFor([&] { return !cap.Previewing(); }, 60000);
    run.Wall = clock.elapsed() / 1000.0;
    run.Cpu = ProcessCpuSeconds() - cpuBefore;
    run.Presented = double(presented.load());
    return run;
}

void RunRounds(benchmark::State &state, bool shown)
{
    TSimulatedCameras::Clear();
    TSimulatedCamera cam;
    cam.FriendlyName = QStringLiteral("Bench Camera");
    cam.DevicePath = CamPath;
    cam.Modes = {{1920, 1080, true, 30}};
    TSimulatedCameras::Add(cam);

    for (auto _ : state) {
        std::vector<double> ratio, fps, dropped, cpuFrame, baseFrame, wall;
        for (int r = 0; r < Rounds; ++r) {
            const TRun base = RunGstLaunch();
            const TRun ours = RunComponent(shown);
            if (!base.Ok || !ours.Ok) {
                state.SkipWithError("a run failed (gst-launch-1.0 or the preview)");
                return;
            }
            baseFrame.push_back(1000.0 * base.Cpu / Frames);
            cpuFrame.push_back(1000.0 * ours.Cpu / Frames);
            ratio.push_back(ours.Cpu / base.Cpu);
            fps.push_back(ours.Presented / ours.Wall);
            dropped.push_back(Frames - ours.Presented);
            wall.push_back(ours.Wall);
        }
        state.SetIterationTime(Median(wall));
        state.counters["gst_launch_cpu_ms_per_frame"] = Median(baseFrame);
        state.counters["cpu_ms_per_frame"] = Median(cpuFrame);
        state.counters["cpu_vs_gst_launch"] = Median(ratio);
        state.counters["cpu_vs_gst_launch_max"] = *std::max_element(ratio.begin(), ratio.end());
        state.counters["fps"] = Median(fps);
        state.counters["frames_dropped_max"] = *std::max_element(dropped.begin(), dropped.end());
    }
    TSimulatedCameras::Clear();
}

void BM_PipelineShown(benchmark::State &state)
{
    RunRounds(state, true);
}
BENCHMARK(BM_PipelineShown)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_PipelineHidden(benchmark::State &state)
{
    RunRounds(state, false);
}
BENCHMARK(BM_PipelineHidden)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
