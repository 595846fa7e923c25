// The picture window and stills at 1920x1080 on a simulated camera.
//
// BM_PictureWindowPaint: one paint of the picture window showing a 1920x1080
// frame in a 1920x1080 component, at zoom 1 and at zoom 10 (a 19200x10800
// window of which the component shows a tenth each way), against a plain
// widget that draws a ready 1920x1080 32-bit image (the least a paint of that
// size costs). The three alternate over a few rounds; the counters are the
// medians (aim: zoom10_vs_zoom1 <= 1).
//
// BM_StillPath: from CaptureVideo to OnCapturedEvent for a 1920x1080 frame at
// 30 fps: the whole latency (it includes the wait for the camera's next
// frame), and the UI thread's share, the frame-ready handler that builds the
// upright 32-bit image, against a plain copy of the frame's bytes.
#include "BenchSupport.h"
#include "capture/component/CustomVideoCap.h"
#include "capture/component/VideoWindow.h"
#include "capture/devices/SimulatedCamera.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

const QString CamPath = QStringLiteral("usb#VID_0000&PID_2003#bench-picture");
constexpr int Rounds = 5;

void AddCamera(int fps)
{
    TSimulatedCameras::Clear();
    TSimulatedCamera cam;
    cam.FriendlyName = QStringLiteral("Bench Camera");
    cam.DevicePath = CamPath;
    cam.Modes = {{1920, 1080, true, fps}};
    cam.Pattern = QStringLiteral("colors");
    cam.Speed = 0;
    TSimulatedCameras::Add(cam);
}

// The component measures the UI thread's part of each still.
class TBenchCap : public TCustomVideoCap
{
public:
    TBenchCap()
    {
        SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
        OnStartPreview = [this](TCustomVideoCap *) {
            Started = true;
        };
        OnCapturedEvent = [this](TCustomVideoCap *, const QImage &image) {
            ++Stills;
            StillSize = image.size();
        };
    }
    bool Started = false;
    int Stills = 0;
    QSize StillSize;
    std::vector<double> FrameReadyMs;

protected:
    void FrameReadyMessage(TSampleGrabberCB &cb) override
    {
        QElapsedTimer t;
        t.start();
        TCustomVideoCap::FrameReadyMessage(cb);
        FrameReadyMs.push_back(double(t.nsecsElapsed()) / 1e6);
    }
};

bool StartShown(TBenchCap &cap)
{
    cap.resize(1920, 1080);
    cap.SetAspectRatio(true);
    cap.show();
    if (!QTest::qWaitForWindowExposed(&cap) || !cap.Init())
        return false;
    cap.SetVideoDeviceIndex(0);
    return cap.StartPreview() && QTest::qWaitFor([&] {
               return cap.Started && cap.VideoWindow() && cap.VideoWindow()->FramesPresented() >= 3;
           });
}

// A widget that draws a ready image: the baseline of a full-size paint.
class TPlainPicture : public QWidget
{
public:
    explicit TPlainPicture(QImage image)
        : FImage(std::move(image))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.drawImage(0, 0, FImage);
    }

private:
    QImage FImage;
};

// Milliseconds per repaint of `w`, over `n` repaints.
double PaintMs(QWidget &w, int n)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i)
        w.repaint();
    return double(t.nsecsElapsed()) / 1e6 / n;
}

void BM_PictureWindowPaint(benchmark::State &state)
{
    AddCamera(30);
    TBenchCap cap;
    if (!StartShown(cap)) {
        state.SkipWithError("the preview does not start");
        return;
    }
    // The window keeps its last frame while the camera pauses: only the
    // paints are measured.
    cap.PausePreview();
    QTest::qWait(200);
    TVideoWindow &window = *cap.VideoWindow();
    TPlainPicture plain(window.CurrentImage().convertToFormat(QImage::Format_RGB32));
    plain.resize(1920, 1080);
    plain.show();
    if (!QTest::qWaitForWindowExposed(&plain)) {
        state.SkipWithError("the baseline window is not shown");
        return;
    }
    constexpr int Paints = 20;
    for (auto _ : state) {
        std::vector<double> zoom1, zoom10, base, ratio, vsBase;
        for (int r = 0; r < Rounds; ++r) {
            cap.SetZoom(1.0f);
            const double z1 = PaintMs(window, Paints);
            cap.SetZoom(10.0f);
            const double z10 = PaintMs(window, Paints);
            const double b = PaintMs(plain, Paints);
            zoom1.push_back(z1);
            zoom10.push_back(z10);
            base.push_back(b);
            ratio.push_back(z10 / z1);
            vsBase.push_back(z1 / b);
        }
        state.SetIterationTime(Median(zoom1) / 1000.0);
        state.counters["paint_zoom1_ms"] = Median(zoom1);
        state.counters["paint_zoom10_ms"] = Median(zoom10);
        state.counters["plain_image_paint_ms"] = Median(base);
        state.counters["zoom10_vs_zoom1"] = Median(ratio);
        state.counters["zoom1_vs_plain_image"] = Median(vsBase);
        state.counters["window_width_at_zoom10"] = window.width();
    }
    cap.StopPreview();
    TSimulatedCameras::Clear();
}
BENCHMARK(BM_PictureWindowPaint)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StillPath(benchmark::State &state)
{
    AddCamera(30);
    TBenchCap cap;
    if (!StartShown(cap)) {
        state.SkipWithError("the preview does not start");
        return;
    }
    constexpr int Stills = 30;
    // A plain copy of a frame's bytes, for scale.
    std::vector<std::uint8_t> from(1920u * 1080u * 3u, 7), to(from.size());
    for (auto _ : state) {
        std::vector<double> latency, copy;
        for (int i = 0; i < Stills; ++i) {
            const int before = cap.Stills;
            QElapsedTimer t;
            t.start();
            cap.CaptureVideo();
            if (!QTest::qWaitFor([&] { return cap.Stills > before; }, 5000)) {
                state.SkipWithError("no still arrived");
                return;
            }
            latency.push_back(double(t.nsecsElapsed()) / 1e6);
            QElapsedTimer c;
            c.start();
            std::memcpy(to.data(), from.data(), from.size());
            benchmark::DoNotOptimize(to.data());
            copy.push_back(double(c.nsecsElapsed()) / 1e6);
        }
        const double handler = Median(cap.FrameReadyMs);
        state.SetIterationTime(Median(latency) / 1000.0);
        state.counters["request_to_still_ms"] = Median(latency);
        state.counters["request_to_still_max_ms"] =
            *std::max_element(latency.begin(), latency.end());
        state.counters["frame_ready_handler_ms"] = handler;
        state.counters["frame_copy_ms"] = Median(copy);
        state.counters["handler_vs_frame_copy"] = handler / Median(copy);
        state.counters["still_width"] = cap.StillSize.width();
    }
    cap.StopPreview();
    TSimulatedCameras::Clear();
}
BENCHMARK(BM_StillPath)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
