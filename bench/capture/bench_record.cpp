// What recording adds to the capture component:
// - the hand-over of a grabbed 1280x720 frame to the encoder's frame input
//   (rows turned bottom-up, on the UI thread for every frame request), against
//   a plain memcpy of the same bytes (counter x_memcpy);
// - the processor load of a recording of a simulated 1280x720 MJPEG camera at
//   30 fps (video only), against a preview of the same camera for the same
//   time; the two alternate over a few rounds so that both see the same
//   machine load. Counters: core shares (processor seconds per second, all
//   threads) and their difference, the recording's added load.
#include "BenchSupport.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/devices/SimulatedCamera.h"
#include "capture/engine/RecordFrameCopy.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int W = 1280, H = 720;
constexpr int BytesPerLine = (W * 3 + 3) / 4 * 4;
constexpr int RunMs = 4000;
constexpr int Rounds = 3;
const QString CamPath = QStringLiteral("usb#VID_0000&PID_2003#benchrec");
using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> MakeFrame()
{
    std::vector<std::uint8_t> f(std::size_t(BytesPerLine) * H);
    for (std::size_t i = 0; i < f.size(); ++i)
        f[i] = std::uint8_t(i * 7 + (i >> 11));
    return f;
}

// Median seconds of a few hundred runs of work.
template <typename TWork>
double MedianSeconds(TWork work)
{
    std::vector<double> t;
    for (int i = 0; i < 301; ++i) {
        const auto a = Clock::now();
        work();
        benchmark::ClobberMemory();
        t.push_back(std::chrono::duration<double>(Clock::now() - a).count());
    }
    std::nth_element(t.begin(), t.begin() + 150, t.end());
    return t[150];
}

void BM_RecordFrameCopy(benchmark::State &state)
{
    const auto grabbed = MakeFrame();
    std::vector<std::uint8_t> input(grabbed.size());
    const TGrabbedFrame from{grabbed.data(), grabbed.size(), W, H, BytesPerLine};
    const double copy =
        MedianSeconds([&] { std::memcpy(input.data(), grabbed.data(), grabbed.size()); });
    const double handOver =
        MedianSeconds([&] { CopyGrabbedFrame(from, input.data(), W, H, BytesPerLine); });
    for (auto _ : state) {
        CopyGrabbedFrame(from, input.data(), W, H, BytesPerLine);
        benchmark::DoNotOptimize(input.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(grabbed.size()));
    state.counters["x_memcpy"] = handOver / copy;
    state.counters["us_per_frame"] = handOver * 1e6;
}
BENCHMARK(BM_RecordFrameCopy);

// Core share of a preview or a recording of RunMs; negative when it failed.
double Run(bool record, const QString &file)
{
    TCustomVideoCap cap;
    cap.SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
    cap.resize(640, 360);
    if (!cap.Init())
        return -1;
    cap.SetVideoDeviceIndex(0);
    if (!cap.setVideoSize(W, H, QStringLiteral("MJPG")))
        return -1;
    cap.SetRecordFilename(file);
    const double before = ProcessCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    if (!(record ? cap.StartRecord() : cap.StartPreview()))
        return -1;
    QTest::qWait(RunMs);
    if (record)
        cap.StopRecord();
    else
        cap.StopPreview();
    // A recording's file is finished when the component goes.
    return (ProcessCpuSeconds() - before) / (double(clock.nsecsElapsed()) / 1e9);
}

void BM_RecordingAddedLoad(benchmark::State &state)
{
    // Video only: no sound device is asked for.
    QTemporaryDir home;
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(home.filePath(QStringLiteral("asound.conf"))));
    QFile conf(home.filePath(QStringLiteral("asound.conf")));
    if (conf.open(QIODevice::WriteOnly))
        conf.write("pcm.!default { type hw card 99 }\n");
    conf.close();
    TSimulatedCameras::Clear();
    TSimulatedCamera cam;
    cam.FriendlyName = QStringLiteral("Bench Camera");
    cam.DevicePath = CamPath;
    cam.Modes = {{W, H, true, 30}};
    TSimulatedCameras::Add(cam);

    for (auto _ : state) {
        std::vector<double> preview, recording, added;
        for (int r = 0; r < Rounds; ++r) {
            const double p = Run(false, {});
            const double rec = Run(true, home.filePath(QStringLiteral("bench.mp4")));
            if (p < 0 || rec < 0) {
                state.SkipWithError("a preview or a recording did not start");
                return;
            }
            preview.push_back(p);
            recording.push_back(rec);
            added.push_back(rec - p);
        }
        state.SetIterationTime(RunMs / 1000.0 * 2 * Rounds);
        state.counters["preview_core_share"] = Median(preview);
        state.counters["recording_core_share"] = Median(recording);
        state.counters["added_core_share"] = Median(added);
    }
    TSimulatedCameras::Clear();
    qunsetenv("ALSA_CONFIG_PATH");
}
BENCHMARK(BM_RecordingAddedLoad)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
