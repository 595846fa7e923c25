#include "DrawingScreenshots.h"

#include "app/DrawingCommands.h"
#include "app/MainForm.h"
#include "canvas/TKARVOCanvas.h"
#include "scene/ImageButton.h"
#include "scene/OptionFrame.h"

#include <QTest>
#include <QWindow>
#include <cmath>
#include <vector>

namespace {

// A left-button drag through APoints (drawing coordinates) sent to the window.
void Drag(TMainForm &AForm, const std::vector<QPointF> &APoints)
{
    QWidget *surface = AForm.CanvasHost()->findChild<QWidget *>();
    const QPoint origin((surface->width() - AForm.Canvas()->Width()) / 2,
                        (surface->height() - AForm.Canvas()->Height()) / 2);
    const auto at = [&](QPointF APoint) {
        return surface->mapTo(&AForm, APoint.toPoint() + origin);
    };
    QWindow *window = AForm.windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, at(APoints.front()));
    for (const QPointF &p : APoints)
        QTest::mouseMove(window, at(p), 2);
    QTest::mouseRelease(window, Qt::LeftButton, {}, at(APoints.back()));
}

std::vector<QPointF> Ellipse(QPointF ACentre, double ARx, double ARy)
{
    std::vector<QPointF> points;
    for (int i = 0; i <= 72; ++i) {
        const double a = i * 2 * M_PI / 70; // a little past the start
        points.emplace_back(ACentre.x() + ARx * std::cos(a), ACentre.y() + ARy * std::sin(a));
    }
    return points;
}

std::vector<QPointF> Line(QPointF AFrom, QPointF ATo, int ASteps = 24)
{
    std::vector<QPointF> points;
    for (int i = 0; i <= ASteps; ++i)
        points.push_back(AFrom + (ATo - AFrom) * i / ASteps);
    return points;
}

void Click(QWidget *AControl, Qt::MouseButton AButton = Qt::LeftButton, QPoint AAt = {-1, -1})
{
    QWidget *window = AControl->window();
    const QPoint at = AAt.x() < 0 ? AControl->rect().center() : AAt;
    QTest::mouseClick(window->windowHandle(), AButton, {}, AControl->mapTo(window, at));
    QTest::qWait(50);
}

} // namespace

void TakeDrawingScreenshots(TMainForm &AForm, const std::function<void(const char *)> &ASave)
{
    AForm.TabClick(TTabTag::Drawing);
    TDrawingPopups &popups = AForm.DrawingCommands()->Popups();
    QWidget *penOption = AForm.MenuButton(QStringLiteral("btnDrawing_PenOption"));

    // A red circle round a word, a red underline, a yellow marker line, a
    // blue arrow and a green rectangle.
    Click(penOption);
    Click(popups.PenOption.Swatch(2));
    popups.PenOption.close();
    Drag(AForm, Ellipse({520, 330}, 170, 70));
    Drag(AForm, Line({380, 470}, {900, 470}));
    Click(penOption);
    Click(popups.PenOption.MarkerFrame());
    Click(popups.PenOption.Swatch(4));
    Click(popups.PenOption.WidthFrame(4));
    popups.PenOption.close();
    Drag(AForm, Line({1000, 250}, {1500, 250}));
    Click(penOption);
    Click(popups.PenOption.PenFrame());
    Click(popups.PenOption.Swatch(7));
    Click(popups.PenOption.WidthFrame(2));
    popups.PenOption.close();
    Drag(AForm, Line({1300, 700}, {1000, 480}));
    Drag(AForm, Line({1000, 480}, {1060, 480}, 6));
    Drag(AForm, Line({1000, 480}, {1010, 540}, 6));
    Click(penOption);
    Click(popups.PenOption.Swatch(5));
    popups.PenOption.close();
    Click(AForm.MenuButton(QStringLiteral("btnDrawing_ShapeTool")));
    Click(popups.ShapeTool.Button(1));
    Drag(AForm, Line({250, 600}, {700, 800}));
    QTest::qWait(200);
    ASave("drawing-with-strokes.png");

    Click(penOption);
    ASave("drawing-popup-pen-options.png");
    popups.PenOption.close();
    Click(AForm.MenuButton(QStringLiteral("btnDrawing_EraserTool")));
    ASave("drawing-popup-eraser.png");
    popups.EraserTool.close();
    Click(AForm.MenuButton(QStringLiteral("btnDrawing_ShapeTool")));
    ASave("drawing-popup-shape.png");
    popups.ShapeTool.close();
    QWidget *surface = AForm.CanvasHost()->findChild<QWidget *>();
    Click(surface, Qt::RightButton, QPoint(surface->width() / 2, surface->height() / 2));
    ASave("drawing-popup-board.png");
    Click(popups.BoardTool.Button(2));
    Click(penOption);
    Click(popups.PenOption.Swatch(0));
    popups.PenOption.close();
    Drag(AForm, Line({300, 300}, {900, 300}));
    QTest::qWait(200);
    ASave("drawing-green-board.png");
    AForm.TabClick(TTabTag::Preview);
}
