// The live pipeline at 1920x1080 MJPEG 30 fps on a simulated camera with
// every effect on, against the same stages run by gst-launch-1.0 into a fake
// sink over the same number of frames: frames per second, frames dropped,
// and processor time (user + system, all threads) per frame.
#include "capture/CustomVideoCap.h"
#include "capture/SimulatedCamera.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

constexpr int Frames = 300; // ten seconds at 30 fps
const QString CamPath = QStringLiteral("usb#VID_0000&PID_2003#bench0");

double Seconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

double ProcessCpu()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return Seconds(r.ru_utime) + Seconds(r.ru_stime);
}

double BaselineCpuPerFrame = 0;

// The same stages as the component's pipeline: the simulated camera (test
// picture, JPEG encoder, its queue), tee, decoder, rotation, converter to BGR.
void BM_GstLaunchBaseline(benchmark::State &state)
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
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        pid_t pid = 0;
        if (posix_spawnp(&pid, "gst-launch-1.0", nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("gst-launch-1.0 cannot be started");
            return;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        const double wall = clock.elapsed() / 1000.0;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("gst-launch-1.0 failed");
            return;
        }
        const double cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
        BaselineCpuPerFrame = cpu / Frames;
        state.SetIterationTime(wall);
        state.counters["fps"] = Frames / wall;
        state.counters["cpu_ms_per_frame"] = 1000.0 * cpu / Frames;
        state.counters["cpu_cores"] = cpu / wall;
    }
}
BENCHMARK(BM_GstLaunchBaseline)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The component with every effect on, its picture window on the screen.
void RunComponent(benchmark::State &state, bool shown)
{
    TSimulatedCameras::Clear();
    TSimulatedCamera cam;
    cam.FriendlyName = QStringLiteral("Bench Camera");
    cam.DevicePath = CamPath;
    cam.Modes = {{1920, 1080, true, 30}};
    TSimulatedCameras::Add(cam);

    for (auto _ : state) {
        TCustomVideoCap cap;
        cap.SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
        cap.resize(960, 540);
        if (shown)
            cap.show();
        if (!cap.Init()) {
            state.SkipWithError("no simulated camera");
            return;
        }
        cap.SetVideoDeviceIndex(0);
        cap.SetAspectRatio(true);
        cap.SetInvertColor(true);
        cap.SetGrayscale(true);
        cap.SetHorizontal(true);
        cap.SetVertical(true);
        cap.SetSelectionMode(true);
        cap.GrabberCB().SetSelectionRect({400, 200, 1500, 900});

        // The camera sends its frames and is then lost, which stops the
        // preview: every frame it sent had the time to reach the window.
        TSimulatedCameras::PlugIn(CamPath);
        TSimulatedCameras::SetDropAfterFrames(CamPath, Frames);
        const double cpuBefore = ProcessCpu();
        QElapsedTimer clock;
        clock.start();
        if (!cap.StartPreview()) {
            state.SkipWithError("the preview does not start");
            return;
        }
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
        const bool done = QTest::qWaitFor([&] { return !cap.Previewing(); }, 60000);
        const double wall = clock.elapsed() / 1000.0;
        const double cpu = ProcessCpu() - cpuBefore;
        const double sent = Frames;
        if (!done) {
            state.SkipWithError("the camera did not send its frames");
            return;
        }
        state.SetIterationTime(wall);
        state.counters["fps"] = double(presented.load()) / wall;
        state.counters["frames_dropped"] = sent - double(presented.load());
        state.counters["cpu_ms_per_frame"] = 1000.0 * cpu / sent;
        state.counters["cpu_cores"] = cpu / wall;
        if (BaselineCpuPerFrame > 0)
            state.counters["cpu_vs_gst_launch"] = (cpu / sent) / BaselineCpuPerFrame;
    }
    TSimulatedCameras::Clear();
}

void BM_ComponentAllEffectsShown(benchmark::State &state)
{
    RunComponent(state, true);
}
BENCHMARK(BM_ComponentAllEffectsShown)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_ComponentAllEffectsHidden(benchmark::State &state)
{
    RunComponent(state, false);
}
BENCHMARK(BM_ComponentAllEffectsHidden)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
