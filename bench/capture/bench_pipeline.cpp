// The live pipeline at 1920x1080 MJPEG 30 fps on a simulated camera with
// every effect on, against the same stages run by gst-launch-1.0 into a fake
// sink over the same number of frames: frames per second, frames dropped,
// and processor time (user + system, all threads) per frame. The two runs
// alternate over a few rounds so that both see the same machine load; the
// counters are the medians of the rounds (aim: cpu_vs_gst_launch <= 1.1,
// fps 30, frames_dropped 0).
//
// The 3840x2160 modes measure what the component holds at that size: a
// camera replays one prepared JPEG at 30 fps (its encoding cost stays out of
// the figure) and the component shows it with every effect on; the same
// stages without the component (decoder, rotation, converter to BGR, a fake
// sink) run in this process on the same frames as the baseline. Counters:
// fps (and plain_stages_fps), frames_dropped, cpu_ms_per_frame (per frame
// shown), cores (processor seconds per second) and cpu_vs_plain_stages.
#include "BenchSupport.h"
#include "ReplayCamera.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/devices/GstHandles.h"
#include "capture/devices/SimulatedCamera.h"

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

// Counts the buffers that reach the sink pad of `element`.
void CountBuffers(GstElement *element, std::atomic<std::uint64_t> &count)
{
    GstPad *in = gst_element_get_static_pad(element, "sink");
    gst_pad_add_probe(
        in, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad *, GstPadProbeInfo *, gpointer n) {
            ++*static_cast<std::atomic<std::uint64_t> *>(n);
            return GST_PAD_PROBE_OK;
        },
        &count, nullptr);
    gst_object_unref(in);
}

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

// The component with every effect on, its picture window shown or not, on
// the first camera of `provider` (default: the simulated camera, lost after
// Frames frames; a replay camera ends its stream after its clip).
TRun RunComponent(bool shown, const TDeviceProviderPtr &provider = nullptr)
{
    TRun run;
    TCustomVideoCap cap;
    cap.SetDeviceProviders({provider ? provider : std::make_shared<TSimulatedProvider>()});
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

    // The camera sends its frames and is then lost (or its stream ends),
    // which stops the preview: every frame it sent had the time to reach the
    // window.
    if (!provider)
        TSimulatedCameras::SetDropAfterFrames(CamPath, Frames);
    const double cpuBefore = ProcessCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    if (!cap.StartPreview())
        return run;
    // Frames that reach the renderer.
    std::atomic<std::uint64_t> presented{0};
    GstElement *renderer = gst_bin_get_by_name(GST_BIN(cap.Graph()), "KARVORenderFilter");
    CountBuffers(renderer, presented);
    gst_object_unref(renderer);
    run.Ok = QTest::qWaitFor([&] { return !cap.Previewing(); }, 60000);
    run.Wall = clock.elapsed() / 1000.0;
    run.Cpu = ProcessCpuSeconds() - cpuBefore;
    run.Presented = double(presented.load());
    return run;
}

// Shown: the picture window shown, or not.
void BM_Pipeline(benchmark::State &state, bool shown)
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

BENCHMARK_CAPTURE(BM_Pipeline, Shown, true)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Pipeline, Hidden, false)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

constexpr int UhdWidth = 3840, UhdHeight = 2160;

TReplayClip UhdClip()
{
    static const auto jpeg =
        std::make_shared<const std::vector<std::uint8_t>>(PrepareJpeg(UhdWidth, UhdHeight));
    TReplayClip clip;
    clip.Jpeg = jpeg;
    clip.Width = UhdWidth;
    clip.Height = UhdHeight;
    clip.Fps = 30;
    clip.Frames = Frames;
    return clip;
}

// The component's stages without the component: replayed frames, tee,
// decoder, rotation, converter to BGR, a fake sink.
TRun RunPlainStages(const TReplayClip &clip)
{
    TRun run;
    TGstRef<GstElement> pipeline = TGstRef<GstElement>::Adopt(
        gst_parse_launch("tee name=tee ! jpegdec ! videoflip video-direction=identity ! "
                         "videoconvert ! video/x-raw,format=BGR ! fakesink name=sink sync=false",
                         nullptr));
    GstElement *source = MakeReplaySource(clip, "camera");
    if (!pipeline || !source)
        return run;
    gst_bin_add(GST_BIN(pipeline.get()), source);
    TGstRef<GstElement> tee =
        TGstRef<GstElement>::Adopt(gst_bin_get_by_name(GST_BIN(pipeline.get()), "tee"));
    TGstRef<GstElement> sink =
        TGstRef<GstElement>::Adopt(gst_bin_get_by_name(GST_BIN(pipeline.get()), "sink"));
    if (!tee || !sink || !gst_element_link(source, tee.get()))
        return run;
    std::atomic<std::uint64_t> arrived{0};
    CountBuffers(sink.get(), arrived);
    const double cpuBefore = ProcessCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    TGstRef<GstBus> bus = TGstRef<GstBus>::Adopt(gst_element_get_bus(pipeline.get()));
    TMessagePtr end(gst_bus_timed_pop_filtered(
        bus.get(), 120 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    run.Wall = clock.elapsed() / 1000.0;
    run.Cpu = ProcessCpuSeconds() - cpuBefore;
    run.Ok = end && GST_MESSAGE_TYPE(end.get()) == GST_MESSAGE_EOS;
    run.Presented = double(arrived.load());
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return run;
}

void BM_Pipeline3840x2160(benchmark::State &state, bool shown)
{
    const TReplayClip clip = UhdClip();
    if (clip.Jpeg->empty()) {
        state.SkipWithError("no JPEG frame could be prepared");
        return;
    }
    const auto provider = std::make_shared<TReplayProvider>(clip, QStringLiteral("replay0"));
    for (auto _ : state) {
        std::vector<double> ratio, fps, baseFps, dropped, cpuFrame, baseFrame, cores, wall;
        for (int r = 0; r < Rounds; ++r) {
            const TRun base = RunPlainStages(clip);
            const TRun ours = RunComponent(shown, provider);
            if (!base.Ok || !ours.Ok) {
                state.SkipWithError("a run failed (the plain stages or the preview)");
                return;
            }
            if (base.Presented <= 0 || ours.Presented <= 0) {
                state.SkipWithError("no frame came through");
                return;
            }
            // Per frame shown: frames the slow stages could not take were
            // dropped by the camera's queue and cost nothing.
            baseFrame.push_back(1000.0 * base.Cpu / base.Presented);
            cpuFrame.push_back(1000.0 * ours.Cpu / ours.Presented);
            ratio.push_back((ours.Cpu / ours.Presented) / (base.Cpu / base.Presented));
            fps.push_back(ours.Presented / ours.Wall);
            baseFps.push_back(base.Presented / base.Wall);
            dropped.push_back(Frames - ours.Presented);
            cores.push_back(ours.Cpu / ours.Wall);
            wall.push_back(ours.Wall);
        }
        state.SetIterationTime(Median(wall));
        state.counters["plain_stages_cpu_ms_per_frame"] = Median(baseFrame);
        state.counters["cpu_ms_per_frame"] = Median(cpuFrame);
        state.counters["cpu_vs_plain_stages"] = Median(ratio);
        state.counters["cores"] = Median(cores);
        state.counters["fps"] = Median(fps);
        state.counters["plain_stages_fps"] = Median(baseFps);
        state.counters["frames_dropped_max"] = *std::max_element(dropped.begin(), dropped.end());
    }
}

BENCHMARK_CAPTURE(BM_Pipeline3840x2160, Shown, true)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Pipeline3840x2160, Hidden, false)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace
