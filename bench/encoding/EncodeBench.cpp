// Encode speed of 1280x720 pictures into MPEG-4 at 3000 kbit/s and 20 fps, as a multiple
// of real time and in CPU seconds, against the ffmpeg command-line tool encoding the same
// raw pictures with the same options; and the CPU load of a live recording.
#include "BenchSupport.h"
#include "TestPicture.h"
#include "encoding/FFEncoder.h"
#include "encoding/RecordClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/error.h>
}

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

constexpr int Width = 1280;
constexpr int Height = 720;
constexpr int Frames = 100; // five seconds at 20 fps
constexpr int BytesPerLine = Width * 3;
constexpr size_t BytesPerFrame = size_t(BytesPerLine) * Height;

const std::string OutputOptions = "-c:v mpeg4 -b:v 3000k -r 20/1 -s 1280x720";

struct TPictures
{
    QTemporaryDir Dir;
    std::vector<std::vector<uint8_t>> BottomUp; // as the grabber stores them
    std::string RawFile;                        // the same pictures top-down, for ffmpeg

    TPictures()
    {
        RawFile = (Dir.path() + "/frames.bgr24").toStdString();
        std::ofstream raw(RawFile, std::ios::binary);
        for (int i = 0; i < Frames; ++i) {
            BottomUp.emplace_back(BytesPerFrame);
            PaintTestPicture(BottomUp.back().data(), Width, Height, BytesPerLine, i);
            for (int y = Height - 1; y >= 0; --y)
                raw.write(reinterpret_cast<const char *>(BottomUp.back().data()) +
                              size_t(y) * BytesPerLine,
                          BytesPerLine);
        }
    }
    std::string Output(const char *name) const { return (Dir.path() + '/' + name).toStdString(); }
};

TPictures &Pictures()
{
    static TPictures pictures;
    return pictures;
}

double FileBitRate(const std::string &file, double seconds)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    return double(in.tellg()) * 8 / seconds;
}

// Runs the main thread's event loop for up to ms milliseconds or until done() holds.
template <typename TDone>
void ServeMainThread(int ms, TDone done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done())
            loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double FFmpegCpuPerFrame = 0; // the baseline of this run

void BM_FFmpegTool(benchmark::State &state)
{
    const TPictures &pictures = Pictures();
    const std::string out = pictures.Output("ffmpeg.mp4");
    std::vector<std::string> args = {"ffmpeg",   "-nostdin", "-v",       "error", "-y",
                                     "-f",       "rawvideo", "-pix_fmt", "bgr24", "-s",
                                     "1280x720", "-r",       "20/1",     "-i",    pictures.RawFile};
    for (const char *o : {"-c:v", "mpeg4", "-b:v", "3000k", "-r", "20/1", "-s", "1280x720"})
        args.emplace_back(o);
    args.push_back(out);
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    double cpu = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        if (posix_spawnp(&child, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot run ffmpeg");
            return;
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
        cpu += CpuSeconds(usage);
    }
    FFmpegCpuPerFrame = cpu / double(state.iterations()) / Frames;
    state.counters["realtime_x"] = benchmark::Counter(
        double(Frames) / 20 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_s"] = cpu / double(state.iterations());
    state.counters["kbit_s"] = FileBitRate(out, Frames / 20.0) / 1000;
}

// One encode task from the frame input at `rate` into `out` with the recording's output
// options; false (and the benchmark skipped) when the encoder refuses it.
bool SetUpTask(benchmark::State &state, TFFEncoder &encoder, const TFrameInputAdapter &adapter,
               const std::string &rate, const std::string &out)
{
    encoder.ClearTasks();
    const int task =
        encoder.AddTask(adapter.InputName(), {"-f frameinput -input_type bmp -pix_fmt bgr24 -r " +
                                              rate + " -s 1280x720"});
    if (task < 0 || encoder.SetOutput(task, out, {OutputOptions}) < 0) {
        state.SkipWithError(encoder.LastErrorMsg().c_str());
        return false;
    }
    return true;
}

void BM_FrameInputEncode(benchmark::State &state)
{
    const TPictures &pictures = Pictures();
    const std::string out = pictures.Output("ours.mp4");
    TFFEncoder encoder;
    if (!encoder.LoadLibraries()) {
        state.SkipWithError(encoder.LastErrorMsg().c_str());
        return;
    }
    TFrameInputAdapter adapter;
    adapter.SetRealTime(false);
    adapter.SetTriggerEventInMainThread(false);
    int next = 0;
    adapter.SetOnReadFrameBMP([&](TFrameInputAdapter *, uint8_t *data, TInputFrameInfo *) {
        if (next == Frames)
            return AVERROR_EOF;
        std::memcpy(data, pictures.BottomUp[size_t(next++)].data(), BytesPerFrame);
        return 0;
    });

    double cpu = 0;
    for (auto _ : state) {
        next = 0;
        if (!SetUpTask(state, encoder, adapter, "20/1", out))
            return;
        const double cpuBefore = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        encoder.Start(1);
        encoder.WaitForFinish(std::chrono::minutes(5));
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpu += ProcessCpuSeconds() - cpuBefore;
    }
    const double cpuPerFrame = cpu / double(state.iterations()) / Frames;
    state.counters["realtime_x"] = benchmark::Counter(
        double(Frames) / 20 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_s"] = cpu / double(state.iterations());
    state.counters["kbit_s"] = FileBitRate(out, Frames / 20.0) / 1000;
    if (FFmpegCpuPerFrame > 0)
        state.counters["cpu_vs_ffmpeg"] = cpuPerFrame / FFmpegCpuPerFrame;
}

// A live recording as the program makes it: frame requests served on the main thread at
// 30 per second, each one block copy, fitted to 20 fps. Reports the share of one core.
void BM_LiveRecording(benchmark::State &state)
{
    const TPictures &pictures = Pictures();
    const std::string out = pictures.Output("live.mp4");
    TFFEncoder encoder;
    encoder.LoadLibraries();
    TFrameInputAdapter adapter;
    int calls = 0;
    TRecordClock clock;
    adapter.SetOnReadFrameBMP([&](TFrameInputAdapter *, uint8_t *data, TInputFrameInfo *info) {
        clock.StampFrame(*info);
        std::memcpy(data, pictures.BottomUp[size_t(calls++ % Frames)].data(), BytesPerFrame);
        return 0;
    });
    const double seconds = 5;
    double cpu = 0;
    for (auto _ : state) {
        if (!SetUpTask(state, encoder, adapter, "30/1", out))
            return;
        const double cpuBefore = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        encoder.Start(1);
        ServeMainThread(int(seconds * 1000), [] { return false; });
        encoder.Stop(false);
        ServeMainThread(10000, [&] { return !encoder.Working(); });
        encoder.WaitForFinish(std::chrono::seconds(5));
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpu += ProcessCpuSeconds() - cpuBefore;
    }
    state.counters["core_share"] = cpu / double(state.iterations()) / seconds;
    state.counters["kbit_s"] = FileBitRate(out, seconds) / 1000;
}

} // namespace

// The baseline first: the comparison counter of the next benchmark uses it.
BENCHMARK(BM_FFmpegTool)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FrameInputEncode)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LiveRecording)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qputenv("QT_LOGGING_RULES", "ovilen.encoding.debug=false");
    benchmark::Initialize(&argc, argv);
    Pictures();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
