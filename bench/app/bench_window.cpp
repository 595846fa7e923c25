// The main window on a simulated 1920x1080 30 fps camera, in a temporary home.
//
// BM_StartToFirstFrame: from starting the program to its log line "first
// frame shown" (the first camera frame painted), against the same program
// started beside a running copy, which ends at once (the cost of starting a
// process of this size). Five rounds; medians (aim: start_to_frame_ms < 1000).
//
// BM_FrameToPaint: from a frame leaving the frame grabber (a probe on the
// grabber's output, streaming thread) to the end of the picture window's next
// paint (UI thread), in the real main window, against the camera's frame
// interval measured at the same probe (aim: delay_vs_frame_interval < 1).
#include "BenchSupport.h"
#include "app/MainForm.h"
#include "app/ProgramModules.h"
#include "app/SingleInstance.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/component/VideoWindow.h"
#include "capture/devices/SimulatedCamera.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <gst/gst.h>
#include <mutex>

namespace {

const QString Camera = QStringLiteral("Bench Camera|usb#VID_0000&PID_2003#bench|1920x1080 MJPG 30");

// HOME and the XDG folders in a temporary folder for the benchmark's life.
struct TBenchHome
{
    TBenchHome()
    {
        QDir().mkpath(Dir.filePath(QStringLiteral("runtime")));
        qputenv("HOME", Dir.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", Dir.filePath(QStringLiteral("runtime")).toUtf8());
        qputenv("XDG_DOCUMENTS_DIR", Dir.filePath(QStringLiteral("Documents")).toUtf8());
        qputenv("XDG_CONFIG_HOME", Dir.filePath(QStringLiteral(".config")).toUtf8());
    }
    QTemporaryDir Dir;
};

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Milliseconds from starting the program until its standard error holds
// AWait (the process is then ended with SIGTERM), or until it ends by itself
// when AWait is empty; -1 on failure.
double RunProgram(const QByteArray &AWait)
{
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("OVILEN_SIMULATED_CAMERAS"), Camera);
    program.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/ovilen"), {});
    if (!program.waitForStarted(10000))
        return -1;
    QByteArray log;
    double ms = -1;
    if (AWait.isEmpty()) {
        if (program.waitForFinished(10000))
            ms = double(clock.nsecsElapsed()) / 1e6;
    } else {
        while (program.state() != QProcess::NotRunning && clock.elapsed() < 30000) {
            program.waitForReadyRead(50);
            log += program.readAllStandardError();
            if (log.contains(AWait)) {
                ms = double(clock.nsecsElapsed()) / 1e6;
                break;
            }
        }
        ::kill(pid_t(program.processId()), SIGTERM);
        program.waitForFinished(20000);
    }
    return ms;
}

void BM_StartToFirstFrame(benchmark::State &state)
{
    const TBenchHome home;
    constexpr int Rounds = 5;
    for (auto _ : state) {
        std::vector<double> start, frame, ratio;
        for (int i = 0; i < Rounds; ++i) {
            double alone = 0;
            {
                const TSingleInstance running; // the started copy ends at once
                alone = RunProgram({});
            }
            const double shown = RunProgram("first frame shown");
            if (alone <= 0 || shown <= 0) {
                state.SkipWithError("the program did not start or show a frame");
                return;
            }
            start.push_back(alone);
            frame.push_back(shown);
            ratio.push_back(shown / alone);
        }
        state.SetIterationTime(Median(frame) / 1000);
        state.counters["process_start_ms"] = Median(start);
        state.counters["start_to_frame_ms"] = Median(frame);
        state.counters["start_to_frame_max_ms"] = *std::max_element(frame.begin(), frame.end());
        state.counters["frame_vs_process_start"] = Median(ratio);
    }
}
BENCHMARK(BM_StartToFirstFrame)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Times frames at the grabber's output and the ends of the window's paints.
class TFrameClock : public QObject
{
public:
    std::atomic<std::int64_t> LastFrameNs{0};
    std::mutex Lock;
    std::vector<std::int64_t> FrameNs; // guarded by Lock
    std::vector<double> DelayMs;       // UI thread
    QPointer<QWidget> Window;

    static GstPadProbeReturn Probe(GstPad *, GstPadProbeInfo *, gpointer self)
    {
        auto *clock = static_cast<TFrameClock *>(self);
        const std::int64_t now = NowNs();
        clock->LastFrameNs.store(now);
        std::lock_guard lock(clock->Lock);
        clock->FrameNs.push_back(now);
        return GST_PAD_PROBE_OK;
    }

protected:
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override
    {
        if (AWatched != Window || AEvent->type() != QEvent::Paint)
            return false;
        const std::int64_t frame = LastFrameNs.exchange(0);
        // Paint now, so that the end of the paint is measured.
        static_cast<QObject *>(Window.data())->event(AEvent);
        if (frame > 0)
            DelayMs.push_back(double(NowNs() - frame) / 1e6);
        return true;
    }
};

void BM_FrameToPaint(benchmark::State &state)
{
    const TBenchHome home;
    qputenv("OVILEN_SIMULATED_CAMERAS", Camera.toUtf8());
    TSimulatedCameras::LoadFromEnvironment();
    TerminateProc = [] {
    };
    // The skin lies beside the program, not beside the benchmarks.
    TMainForm::SkinFile =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/Resource.rcc");
    const TProgramModules modules;
    TMainForm form;
    if (!form.Created()) {
        state.SkipWithError("the window was not made");
        return;
    }
    form.show();
    TCustomVideoCap &cap = *form.VideoCap();
    if (!QTest::qWaitFor(
            [&] { return cap.VideoWindow() && cap.VideoWindow()->FramesPresented() > 10; },
            15000)) {
        state.SkipWithError("no picture");
        return;
    }
    TFrameClock clock;
    clock.Window = cap.VideoWindow();
    GstElement *grabber = gst_bin_get_by_name(GST_BIN(cap.Graph()), "KARVOBitmapGrabber");
    GstPad *pad = grabber ? gst_element_get_static_pad(grabber, "src") : nullptr;
    if (!pad) {
        state.SkipWithError("no grabber");
        return;
    }
    const gulong probe =
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &TFrameClock::Probe, &clock, nullptr);
    clock.Window->installEventFilter(&clock);
    for (auto _ : state) {
        QTest::qWait(5000);
        std::vector<double> intervals;
        {
            std::lock_guard lock(clock.Lock);
            for (size_t i = 1; i < clock.FrameNs.size(); ++i)
                intervals.push_back(double(clock.FrameNs[i] - clock.FrameNs[i - 1]) / 1e6);
        }
        if (clock.DelayMs.size() < 10 || intervals.size() < 10) {
            state.SkipWithError("too few frames");
            break;
        }
        const double delay = Median(clock.DelayMs), interval = Median(intervals);
        std::vector<double> sorted = clock.DelayMs;
        std::sort(sorted.begin(), sorted.end());
        state.SetIterationTime(delay / 1000);
        state.counters["delay_ms"] = delay;
        state.counters["delay_p90_ms"] = sorted[sorted.size() * 9 / 10];
        state.counters["frame_interval_ms"] = interval;
        state.counters["delay_vs_frame_interval"] = delay / interval;
        state.counters["paints"] = double(clock.DelayMs.size());
    }
    clock.Window->removeEventFilter(&clock);
    gst_pad_remove_probe(pad, probe);
    gst_object_unref(pad);
    gst_object_unref(grabber);
}
BENCHMARK(BM_FrameToPaint)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
