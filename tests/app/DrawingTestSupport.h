#pragma once

// The drawing commands on the real canvas library, in a window reduced to
// what the commands see of it: a host panel for the canvas, the buttons the
// popups open from, and a capture component on a simulated camera.

#include "../capture/CaptureTestSupport.h"
#include "TempHome.h"
#include "TestMainView.h"
#include "app/DrawingCommands.h"
#include "app/DrawingView.h"
#include "canvas/TKARVOCanvas.h"
#include "capture/devices/SimulatedCamera.h"
#include "support/Common.h"
#include "support/Config.h"
#include "support/Language.h"

#include <QDir>
#include <QImageReader>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <map>
#include <memory>

// The window's side of the drawing menu: sizes, buttons, the canvas host.
class TTestDrawingView : public IDrawingView
{
public:
    explicit TTestDrawingView(QWidget &AWindow)
        : Host(new QWidget(&AWindow))
    {
        Host->setObjectName(QStringLiteral("FVclPanel"));
        Host->setGeometry(QRect(QPoint(0, 60), Area));
        for (const char *name :
             {"btnDrawing_PenOption", "btnDrawing_EraserTool", "btnDrawing_ShapeTool"}) {
            auto *button = new QWidget(&AWindow);
            button->setObjectName(QLatin1String(name));
            button->setGeometry(55 * int(Buttons.size()) + 200, 0, 55, 55);
            Buttons[QLatin1String(name)] = button;
        }
    }
    TCustomPreviewType PreviewType() const override { return Type; }
    QImage ImageViewerScreenshot() override { return ViewerPicture; }
    QSize DrawingAreaSize() const override { return Area; }
    QSize CanvasPanelSize() const override { return Area; }
    void MaximizeWindow() override { ++Maximized; }
    QWidget *DrawingButton(const QString &AName) override
    {
        const auto it = Buttons.find(AName);
        return it == Buttons.end() ? nullptr : it->second;
    }
    QWidget *CanvasHost() override { return Host; }
    QWidget *PopupParent() override { return Host->window(); }

    QSize Area{800, 600};
    QWidget *Host;
    std::map<QString, QWidget *> Buttons;
    TCustomPreviewType Type = cptPreview;
    QImage ViewerPicture;
    int Maximized = 0;
};

// The component on the simulated cameras, at a size of its own.
class TDrawingTestCap : public TCustomVideoCap
{
public:
    TDrawingTestCap()
    {
        SetDeviceProviders({std::make_shared<TSimulatedProvider>()});
        resize(640, 360);
        SetAspectRatio(true);
    }
};

inline const QString DrawingCam = QStringLiteral("usb#VID_0000&PID_2003#drawing");

// Start-up as the window does it: folders, settings, texts, the canvas in
// its host with an undo depth of 10, the command object, then white pen,
// thickness 5.
class DrawingFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitFolders();
        Config = std::make_unique<TConfig>(PathData);
        Language = std::make_unique<TLanguage>(Home.file(QStringLiteral("absent.ini")));
        Window.resize(900, 700);
        Canvas = std::make_unique<TKARVOCanvas>(DrawingView.Host);
        ASSERT_TRUE(Canvas->isLoaded());
        Canvas->SetUndoCount(10);
        Canvas->setShowLoading(false);
        Commands = std::make_unique<TDrawingCommands>(*Canvas, Cap, *Language, View, DrawingView);
        Commands->SelectStartPen();
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }
    void TearDown() override
    {
        Commands.reset();
        Canvas.reset();
        Cap.StopPreview();
        TSimulatedCameras::Clear();
        Language.reset();
        Config.reset();
    }

    // Top-left, top-right, bottom-left, bottom-right; none near a pen colour.
    static constexpr QRgb QuadrantColours[4] = {0xFF282828, 0xFF5A5AC8, 0xFF28A028, 0xFFE6E6E6};

    // A picture in which every quarter turn and mirror image tells: four
    // coloured quadrants.
    static QImage Quadrants(int AWidth, int AHeight)
    {
        QImage image(AWidth, AHeight, QImage::Format_RGB32);
        const QRgb colours[] = {QuadrantColours[0], QuadrantColours[1], QuadrantColours[2],
                                QuadrantColours[3]};
        for (int y = 0; y < AHeight; ++y)
            for (int x = 0; x < AWidth; ++x)
                image.setPixel(x, y, colours[(y < AHeight / 2 ? 0 : 2) + (x < AWidth / 2 ? 0 : 1)]);
        return image;
    }

    // The canvas's surface in the host.
    QWidget *Surface() const { return DrawingView.Host->findChild<QWidget *>(); }

    // A left-button drag with real mouse events, in drawing coordinates (the
    // drawing is shown 1:1, so they are offset by the surface's placement).
    void Drag(QPoint AFrom, QPoint ATo, int ASteps = 12)
    {
        QWidget *surface = Surface();
        const QPoint origin = DrawingOrigin();
        QTest::mousePress(surface, Qt::LeftButton, {}, AFrom + origin);
        for (int i = 1; i <= ASteps; ++i) {
            const QPoint p = AFrom + (ATo - AFrom) * i / ASteps + origin;
            QMouseEvent move(QEvent::MouseMove, p, surface->mapToGlobal(p), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(surface, &move);
        }
        QTest::mouseRelease(surface, Qt::LeftButton, {}, ATo + origin);
    }

    // Where the drawing's top-left corner stands on the surface (the drawing
    // is centred on it when smaller).
    QPoint DrawingOrigin() const
    {
        const QWidget *surface = Surface();
        return {(surface->width() - Canvas->Width()) / 2,
                (surface->height() - Canvas->Height()) / 2};
    }

    // The drawing with its annotations, through the canvas's own snapshot.
    QImage Snapshot()
    {
        const QString name = Home.file(QStringLiteral("snapshot.png"));
        EXPECT_TRUE(Canvas->SaveToSnapshot(name));
        return QImage(name).convertToFormat(QImage::Format_RGB32);
    }

    void Click(int ATag) { Commands->DrawingMenuClick(ATag); }

    static QStringList FilesIn(const QString &AFolder)
    {
        return QDir(AFolder).entryList(QDir::Files, QDir::Name);
    }

    TempHome Home;
    QWidget Window;
    TTestMainView View;
    TTestDrawingView DrawingView{Window};
    TDrawingTestCap Cap;
    std::unique_ptr<TKARVOCanvas> Canvas;
    std::unique_ptr<TDrawingCommands> Commands;
};

// Whether two colours agree within a JPEG's rounding.
inline bool Near(QRgb A, QRgb B, int ATolerance = 24)
{
    return std::abs(qRed(A) - qRed(B)) <= ATolerance &&
           std::abs(qGreen(A) - qGreen(B)) <= ATolerance &&
           std::abs(qBlue(A) - qBlue(B)) <= ATolerance;
}
