// Drawing on the canvas through real mouse events, each followed by the
// repaint it causes. Baselines in the same run: the same on a small drawing,
// and a full repaint of the view (what redrawing everything would cost).
#include "canvaslib/KARVOCanvas.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const char *ToolName(int ATool)
{
    switch (ATool) {
    case KARVO_TOOL_MARKER:
        return "marker";
    case KARVO_TOOL_ERASER:
        return "eraser";
    default:
        return "pen";
    }
}

// A host window showing a whole drawing of the given size at 1:1, over a
// picture, as on a screen of that size.
class TScene
{
public:
    explicit TScene(QSize ASize)
    {
        FHost = std::make_unique<QWidget>();
        FHost->resize(ASize);
        FHost->show();
        if (!QTest::qWaitForWindowExposed(FHost.get()))
            qWarning("the benchmark window was not exposed");
        InitCanvas(KARVO_CERT_TEXT);
        CreateCanvas(FHost.get(), FHost.get(), false);
        SetCavaseSize({ASize.width(), ASize.height()});
        New();
        SetParentSize({ASize.width(), ASize.height()});
        QImage picture(ASize, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                line[x] = qRgb(x & 255, y & 255, (x + y) & 255);
        }
        SetBackgroundImage(&picture);
        Position(0, 0);
        Centre();
        SetPenColor(0x000000FF);
        SetPenThickness(5);
        SetUndoCount(10);
        FCanvas = FHost->findChild<QWidget *>(QStringLiteral("KARVOCanvas"));
        QCoreApplication::processEvents();
    }
    ~TScene()
    {
        RelaseCanvas();
        FHost.reset();
    }

    QWidget *Canvas() const { return FCanvas; }
    QSize Size() const { return FHost->size(); }

    // The n-th point of a zig-zag that stays inside the middle of the drawing.
    QPoint Point(int64_t AIndex) const
    {
        const int span = std::min(Size().width(), Size().height()) / 2;
        const int x = int(AIndex * 7 % span);
        const int y = int((AIndex % 2) * 9 + (AIndex / 37) % (span / 2));
        return QPoint(Size().width() / 4, Size().height() / 4) + QPoint(x, y);
    }

private:
    std::unique_ptr<QWidget> FHost;
    QWidget *FCanvas = nullptr;
};

QSize SizeOf(const benchmark::State &AState)
{
    return AState.range(0) == 4 ? QSize(3840, 2160) : QSize(640, 480);
}

// One segment of a stroke being drawn, and its repaint.
void BM_Segment(benchmark::State &AState, int ATool)
{
    TScene scene(SizeOf(AState));
    SetPenTool(ATool);
    int64_t i = 0;
    QTest::mousePress(scene.Canvas(), Qt::LeftButton, {}, scene.Point(i));
    QCoreApplication::processEvents();
    for (auto _ : AState) {
        QTest::mouseMove(scene.Canvas(), scene.Point(++i));
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(scene.Canvas(), Qt::LeftButton, {}, scene.Point(i));
    AState.SetLabel(ToolName(ATool));
}

// A whole stroke of 1,000 points: press, 1,000 moves with their repaints, release.
void BM_Stroke1000(benchmark::State &AState, int ATool)
{
    TScene scene(SizeOf(AState));
    SetPenTool(ATool);
    for (auto _ : AState) {
        QTest::mousePress(scene.Canvas(), Qt::LeftButton, {}, scene.Point(0));
        for (int i = 1; i <= 1000; ++i) {
            QTest::mouseMove(scene.Canvas(), scene.Point(i));
            QCoreApplication::processEvents();
        }
        QTest::mouseRelease(scene.Canvas(), Qt::LeftButton, {}, scene.Point(1000));
        QCoreApplication::processEvents();
        AState.PauseTiming();
        Undo();
        QCoreApplication::processEvents();
        AState.ResumeTiming();
    }
    // Seconds per segment (shown as "m" for milliseconds, "u" for microseconds).
    AState.counters["per_segment"] =
        benchmark::Counter(double(AState.iterations()) * 1000.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    AState.SetLabel(ToolName(ATool));
}

// Baseline: repainting the whole view once.
void BM_FullRepaint(benchmark::State &AState)
{
    TScene scene(SizeOf(AState));
    for (auto _ : AState)
        scene.Canvas()->repaint();
}

// A new 3840x2160 picture, as the UI thread pays for it: range(1) 1 while recording (the
// recording writes a keyframe of it), 0 not (the baseline).
void BM_NewPicture(benchmark::State &AState)
{
    TScene scene(QSize(3840, 2160));
    QTemporaryDir folder;
    if (AState.range(1)) {
        SetRecordFilename(reinterpret_cast<const char16_t *>(
            folder.filePath(QStringLiteral("bench.krec")).utf16()));
        SetRecording(true);
    }
    QImage picture(3840, 2160, QImage::Format_RGB32);
    int64_t n = 0;
    for (auto _ : AState) {
        AState.PauseTiming();
        for (int y = 0; y < picture.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                line[x] = qRgb((x + n) & 255, y & 255, (x * y + n) & 255);
        }
        ++n;
        AState.ResumeTiming();
        SetBackgroundImage(&picture);
        QCoreApplication::processEvents();
    }
    SetRecording(false); // waits for the keyframes still being written, outside the timing
    AState.SetLabel(AState.range(1) ? "recording" : "not recording");
}

} // namespace

BENCHMARK(BM_NewPicture)->Args({4, 0})->Args({4, 1})->Iterations(8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Segment, pen, KARVO_TOOL_PEN)->Arg(0)->Arg(4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Segment, marker, KARVO_TOOL_MARKER)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Segment, eraser, KARVO_TOOL_ERASER)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Stroke1000, pen, KARVO_TOOL_PEN)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Stroke1000, marker, KARVO_TOOL_MARKER)
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Arg(0)->Arg(4)->Unit(benchmark::kMicrosecond);
