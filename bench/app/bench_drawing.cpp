// The delay from a pointer event to the stroke's pixels on the screen, in
// the drawing menu as the window sets it up: the picture put on the canvas
// by the drawing commands, touch handled by their input filter. Each
// iteration sends one pointer move to the window and runs the event loop
// until the new piece of the stroke is in the window's backing store.
// Baselines in the same run: the same on a 640 × 480 drawing, and one full
// repaint of the view brought to the screen.
#include "app/DrawingCommands.h"
#include "canvas/TKARVOCanvas.h"
#include "capture/component/CustomVideoCap.h"
#include "support/Language.h"

#include <QApplication>
#include <QPointingDevice>
#include <QScreen>
#include <QTest>
#include <QTouchEvent>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr QRgb Red = 0xFFDB214C;

// The window as the drawing commands see it: a host filling it, nothing else.
class TBenchView : public IMainView, public IDrawingView
{
public:
    explicit TBenchView(QWidget &AWindow, QWidget &AHost)
        : FWindow(AWindow)
        , FHost(AHost)
    {}
    void SetButtonEnabled(const QString &, bool) override {}
    void SetButtonPressed(const QString &, bool) override {}
    void SetButtonImages(const QString &, const QString &) override {}
    void ShowWaiting(bool) override {}
    void ShowCapturing(bool) override {}
    void SetZoomText(const QString &) override {}
    void SetResolutionText(const QString &) override {}
    void SetRecordTime(const QString &, bool) override {}
    void SetPreviewLayout(TCustomPreviewType) override {}
    void ShowImage(const QImage &) override {}
    double ImageScale() const override { return 1.0; }
    void SetImageScale(double) override {}
    bool FullScreen() const override { return false; }
    void SetFullScreen(bool) override {}
    void SetMenuVisible(bool) override {}
    void ShowSettingDialog() override {}
    bool ChooseCamera() override { return false; }
    void PostOpenCamera() override {}
    void ShowInformation(const QString &) override {}
    QString OpenFileDialog(const QString &) override { return {}; }
    void ShowResolutionPopup(const std::vector<TResolutionItem> &,
                             std::function<void(const QString &)>) override
    {}
    TCustomPreviewType PreviewType() const override { return cptPreview; }
    QImage ImageViewerScreenshot() override { return {}; }
    QSize DrawingAreaSize() const override { return FHost.size(); }
    QSize CanvasPanelSize() const override { return FHost.size(); }
    void MaximizeWindow() override {}
    QWidget *DrawingButton(const QString &) override { return nullptr; }
    QWidget *CanvasHost() override { return &FHost; }
    QWidget *PopupParent() override { return &FWindow; }

private:
    QWidget &FWindow;
    QWidget &FHost;
};

// A window of the drawing's size with the canvas holding a picture of that
// size at 1:1, a red pen of thickness 5.
class TDrawingScene
{
public:
    explicit TDrawingScene(QSize ASize)
    {
        FWindow.resize(ASize);
        FHost = new QWidget(&FWindow);
        FHost->setGeometry(FWindow.rect());
        FView = std::make_unique<TBenchView>(FWindow, *FHost);
        FCanvas =
            std::make_unique<TKARVOCanvas>(FHost, QStringList{QStringLiteral(KARVO_LIBRARY_DIR)});
        FCommands =
            std::make_unique<TDrawingCommands>(*FCanvas, FVideoCap, FLanguage, *FView, *FView);
        FWindow.show();
        if (!QTest::qWaitForWindowExposed(&FWindow))
            qWarning("the benchmark window was not exposed");
        QImage picture(ASize, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x)
                line[x] = qRgb(x & 127, y & 127, (x + y) & 127);
        }
        FCommands->SetCanvasPicture(picture);
        FCommands->SelectPenType(cptPen);
        FCommands->SelectPenColor(QStringLiteral("#FFDB214C"));
        FCommands->SelectPenWidth(5);
        QCoreApplication::processEvents();
    }
    ~TDrawingScene() { FCommands.reset(); }

    QWindow *Window() { return FWindow.windowHandle(); }
    QWidget *Surface() const { return FHost->findChild<QWidget *>(); }
    QSize Size() const { return FWindow.size(); }

    // The AIndex-th point of rows of 16-pixel steps, 14 pixels apart: every
    // new piece of the stroke lands on picture not drawn on yet.
    QPoint Point(int64_t AIndex) const
    {
        const int columns = (Size().width() - 200) / 16;
        const int rows = (Size().height() - 200) / 14;
        return {100 + 16 * int(AIndex % columns), 100 + 14 * int((AIndex / columns) % rows)};
    }
    // Runs the event loop until the pixel at APos shows the pen's red.
    void WaitForRed(QPoint APos)
    {
        QScreen *screen = FWindow.screen();
        for (int i = 0; i < 10000; ++i) {
            QCoreApplication::processEvents();
            const QImage shown =
                screen->grabWindow(FWindow.winId(), APos.x(), APos.y(), 1, 1).toImage();
            if (!shown.isNull() && (shown.pixel(0, 0) | 0xFF000000) == Red)
                return;
        }
        qFatal("the stroke did not show at %d,%d", APos.x(), APos.y());
    }

private:
    QWidget FWindow;
    QWidget *FHost = nullptr;
    TCustomVideoCap FVideoCap;
    TLanguage FLanguage{QStringLiteral("/nonexistent/language.ini")};
    std::unique_ptr<TBenchView> FView;
    std::unique_ptr<TKARVOCanvas> FCanvas;
    std::unique_ptr<TDrawingCommands> FCommands;
};

QSize SizeOf(const benchmark::State &AState)
{
    return AState.range(0) == 4 ? QSize(3840, 2160) : QSize(640, 480);
}

QPoint Middle(QPoint A, QPoint B)
{
    return (A + B) / 2;
}

// A mouse (or a stylus seen as one) drawing with the pen.
void BM_MouseToPixels(benchmark::State &AState)
{
    TDrawingScene scene(SizeOf(AState));
    QWindow *window = scene.Window();
    const QPoint origin = scene.Surface()->mapTo(scene.Surface()->window(), QPoint());
    int64_t i = 0;
    QTest::mousePress(window, Qt::LeftButton, {}, origin + scene.Point(i));
    for (auto _ : AState) {
        const QPoint from = scene.Point(i), to = scene.Point(++i);
        QTest::mouseMove(window, origin + to);
        scene.WaitForRed(origin + Middle(from, to));
    }
    QTest::mouseRelease(window, Qt::LeftButton, {}, origin + scene.Point(i));
}

// A touch event of one finger, handed to the surface as the application
// would after finding it under the finger.
void SendTouch(QWidget *ASurface, QEvent::Type AType, QEventPoint::State AState, QPoint APos)
{
    static QPointingDevice *screen = QTest::createTouchDevice();
    const QEventPoint point(0, AState, APos, ASurface->mapToGlobal(APos));
    QTouchEvent event(AType, screen, Qt::NoModifier, {point});
    QCoreApplication::sendEvent(ASurface, &event);
}

// One finger on a touch screen, through the drawing area's touch handling.
void BM_TouchToPixels(benchmark::State &AState)
{
    TDrawingScene scene(SizeOf(AState));
    QWidget *surface = scene.Surface();
    const QPoint origin = surface->mapTo(surface->window(), QPoint());
    int64_t i = 0;
    SendTouch(surface, QEvent::TouchBegin, QEventPoint::Pressed, scene.Point(i));
    // The first move starts the stroke; from then on every move extends it.
    SendTouch(surface, QEvent::TouchUpdate, QEventPoint::Updated, scene.Point(++i));
    QCoreApplication::processEvents();
    for (auto _ : AState) {
        const QPoint from = scene.Point(i), to = scene.Point(++i);
        SendTouch(surface, QEvent::TouchUpdate, QEventPoint::Updated, to);
        scene.WaitForRed(origin + Middle(from, to));
    }
    SendTouch(surface, QEvent::TouchEnd, QEventPoint::Released, scene.Point(i));
}

// Baseline: the whole view repainted and brought to the screen once.
void BM_FullRepaint(benchmark::State &AState)
{
    TDrawingScene scene(SizeOf(AState));
    QWidget *surface = scene.Surface();
    for (auto _ : AState) {
        surface->repaint();
        benchmark::DoNotOptimize(
            surface->screen()->grabWindow(surface->window()->winId(), 0, 0, 1, 1));
    }
}

} // namespace

// Each point is drawn once; 500 fit on the smaller drawing.
BENCHMARK(BM_MouseToPixels)->Arg(0)->Arg(4)->Iterations(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TouchToPixels)->Arg(0)->Arg(4)->Iterations(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRepaint)->Arg(0)->Arg(4)->Unit(benchmark::kMicrosecond);
