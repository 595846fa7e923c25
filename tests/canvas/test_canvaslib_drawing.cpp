// Pens, markers, the eraser and shapes, drawn with real mouse events.
#include "CanvasLibFixture.h"

#include <QPointingDevice>
#include <QTabletEvent>
#include <QTest>
#include <memory>
#include <ostream>

namespace {

const QRgb Red = qRgb(255, 0, 0);

// Expected pixel of an opaque colour laid over another with an opacity.
QRgb blend(QRgb AOver, QRgb AUnder, double AOpacity)
{
    const auto mix = [&](int o, int u) {
        return int(o * AOpacity + u * (1 - AOpacity) + 0.5);
    };
    return qRgb(mix(qRed(AOver), qRed(AUnder)), mix(qGreen(AOver), qGreen(AUnder)),
                mix(qBlue(AOver), qBlue(AUnder)));
}

// Number of rows in a column whose pixel is (almost) pure red.
int redRows(const QImage &AImage, int AX)
{
    int count = 0;
    for (int y = 0; y < AImage.height(); ++y)
        if (channelDiff(AImage.pixel(AX, y), Red) <= 60)
            ++count;
    return count;
}

} // namespace

TEST_F(CanvasLib, PenDrawsARedLineWhereDragged)
{
    drag({{20, 75}, {60, 75}, {100, 75}, {140, 75}, {180, 75}});
    const QImage shot = snapshot();
    keep(shot, QStringLiteral("pen_line"));
    const QImage pic = picture();
    for (int x : {25, 60, 100, 150, 175})
        EXPECT_EQ(shot.pixel(x, 75), Red) << "on the line at x=" << x;
    // Above and below the line, and beyond its ends, the picture is untouched.
    for (QPoint p : {QPoint(100, 60), QPoint(100, 90), QPoint(10, 75), QPoint(190, 75)})
        EXPECT_EQ(shot.pixel(p), pic.pixel(p)) << p.x() << "," << p.y();
    // Round caps: the stroke reaches half its width beyond the end points.
    EXPECT_EQ(shot.pixel(18, 75), Red);
    EXPECT_EQ(shot.pixel(14, 75), pic.pixel(14, 75));
    // The window shows exactly the drawing, though only the stroke was repainted.
    EXPECT_EQ(countDiff(onScreen(), shot, 0), 0);
}

TEST_F(CanvasLib, PenColourAndThicknessApplyToTheNextStroke)
{
    SetPenColor(KBlue);
    SetPenThickness(15);
    drag({{20, 40}, {180, 40}});
    SetPenColor(KRed);
    SetPenThickness(3);
    drag({{20, 110}, {180, 110}});
    const QImage shot = snapshot();
    EXPECT_EQ(shot.pixel(100, 40), qRgb(0, 0, 255));
    EXPECT_EQ(shot.pixel(100, 110), Red);
    int blueRows = 0;
    for (int y = 20; y < 60; ++y)
        blueRows += channelDiff(shot.pixel(100, y), qRgb(0, 0, 255)) <= 60;
    EXPECT_GE(blueRows, 14);
    EXPECT_LE(blueRows, 16);
    EXPECT_GE(redRows(shot, 100), 2);
    EXPECT_LE(redRows(shot, 100), 4);
}

TEST_F(CanvasLib, MarkerIsTranslucentAndNeverDarkensWhereItCrossesItself)
{
    SetPenTool(KARVO_TOOL_MARKER);
    SetPenColor(KYellow);
    // A loop that crosses itself at (75, 75).
    drag({{30, 30}, {75, 75}, {120, 120}, {120, 30}, {75, 75}, {30, 120}});
    const QImage shot = snapshot();
    keep(shot, QStringLiteral("marker_loop"));
    const QImage pic = picture();
    const QRgb yellow = qRgb(255, 255, 0);
    for (QPoint p : {QPoint(52, 52), QPoint(120, 75), QPoint(75, 75)}) {
        const QRgb expected = blend(yellow, pic.pixel(p), 0.4);
        EXPECT_LE(channelDiff(shot.pixel(p), expected), 2)
            << p.x() << "," << p.y() << " shows " << std::hex << shot.pixel(p);
    }
    // The picture shows through: not the marker's own colour.
    EXPECT_GT(channelDiff(shot.pixel(75, 75), yellow), 40);
    // Wider than the pen: the marker reaches 6 pixels off a thickness-5 centre line.
    EXPECT_NE(shot.pixel(120, 75), pic.pixel(120, 75));
    EXPECT_GT(channelDiff(shot.pixel(126, 75), pic.pixel(126, 75)), 10);
}

TEST_F(CanvasLib, EraserRemovesAnnotationsAndRestoresThePicture)
{
    const QImage pic = picture();
    drag({{20, 75}, {180, 75}});
    drag({{100, 20}, {100, 130}});
    SetPenTool(KARVO_TOOL_ERASER);
    // Erase across the middle of the horizontal line and over bare picture.
    drag({{60, 75}, {80, 75}, {80, 30}});
    const QImage shot = snapshot();
    keep(shot, QStringLiteral("eraser"));
    for (QPoint p : {QPoint(70, 75), QPoint(80, 75), QPoint(80, 40)})
        EXPECT_EQ(shot.pixel(p), pic.pixel(p)) << p.x() << "," << p.y();
    EXPECT_EQ(shot.pixel(30, 75), Red);
    EXPECT_EQ(shot.pixel(150, 75), Red);
    EXPECT_EQ(shot.pixel(100, 120), Red);

    EXPECT_EQ(countDiff(onScreen(), shot, 0), 0);
    EraserAll();
    EXPECT_EQ(countDiff(snapshot(), pic, 0), 0) << "EraserAll leaves the picture alone";
    Undo();
    EXPECT_EQ(countDiff(snapshot(), shot, 0), 0) << "EraserAll is undoable";
}

struct ShapeCase
{
    int tool;
    const char *name;
    QPoint onOutline;  // a pixel on the drawn outline
    QPoint notDrawn;   // a pixel the shape does not cover
    QPoint passedOver; // on the shape shown halfway through the drag only
};

// Test listings name a case by its name, not by its bytes.
void PrintTo(const ShapeCase &ACase, std::ostream *AOut)
{
    *AOut << ACase.name;
}

class CanvasShapes : public CanvasLib, public ::testing::WithParamInterface<ShapeCase>
{};

TEST_P(CanvasShapes, ShowLiveWhileDraggingAndDrawOnRelease)
{
    const ShapeCase c = GetParam();
    const QImage pic = picture();
    SetPenTool(c.tool);
    QWidget *target = canvas();
    QTest::mousePress(target, Qt::LeftButton, {}, {40, 30});
    QTest::mouseMove(target, {100, 90});
    QTest::mouseMove(target, {160, 120});
    // While dragging the shape shows on screen but is not in the drawing yet.
    const QImage live = target->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(live.pixel(c.onOutline), Red) << c.name;
    EXPECT_EQ(snapshot().pixel(c.onOutline), pic.pixel(c.onOutline)) << c.name;
    QTest::mouseRelease(target, Qt::LeftButton, {}, {160, 120});

    const QImage shot = snapshot();
    keep(shot, QString::fromLatin1(c.name));
    EXPECT_EQ(shot.pixel(c.onOutline), Red) << c.name;
    EXPECT_EQ(shot.pixel(c.notDrawn), pic.pixel(c.notDrawn)) << c.name;
    // Only the final shape is drawn, not the one shown halfway.
    EXPECT_EQ(shot.pixel(c.passedOver), pic.pixel(c.passedOver)) << c.name;
    Undo();
    EXPECT_EQ(countDiff(snapshot(), pic, 0), 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Tools, CanvasShapes,
    ::testing::Values(ShapeCase{KARVO_TOOL_RECTANGLE, "rectangle", {100, 30}, {100, 75}, {100, 60}},
                      ShapeCase{KARVO_TOOL_ELLIPSE, "ellipse", {100, 30}, {42, 32}, {100, 60}},
                      ShapeCase{KARVO_TOOL_LINE, "line", {100, 75}, {100, 30}, {80, 70}}),
    [](const auto &AInfo) { return std::string(AInfo.param.name); });

TEST_F(CanvasLib, StylusPressureVariesThePenWidth)
{
    QPointingDevice stylus(QStringLiteral("test stylus"), 42, QInputDevice::DeviceType::Stylus,
                           QPointingDevice::PointerType::Pen,
                           QInputDevice::Capability::Position | QInputDevice::Capability::Pressure,
                           1, 3);
    SetPenThickness(10);
    const auto stroke = [&](int AY, qreal APressure) {
        const auto send = [&](QEvent::Type AType, QPointF APos, Qt::MouseButtons AButtons) {
            QTabletEvent event(AType, &stylus, APos, canvas()->mapToGlobal(APos), APressure, 0, 0,
                               0, 0, 0, {}, Qt::LeftButton, AButtons);
            QApplication::sendEvent(canvas(), &event);
        };
        send(QEvent::TabletPress, QPointF(20, AY), Qt::LeftButton);
        for (int x = 40; x <= 180; x += 20)
            send(QEvent::TabletMove, QPointF(x, AY), Qt::LeftButton);
        send(QEvent::TabletRelease, QPointF(180, AY), Qt::NoButton);
    };
    stroke(40, 0.1);
    stroke(110, 1.0);
    const QImage shot = snapshot();
    keep(shot, QStringLiteral("stylus"));
    int light = 0, firm = 0;
    for (int y = 20; y < 75; ++y)
        light += channelDiff(shot.pixel(100, y), Red) <= 60;
    for (int y = 75; y < 150; ++y)
        firm += channelDiff(shot.pixel(100, y), Red) <= 60;
    EXPECT_GE(light, 1);
    EXPECT_LE(light, 4);
    EXPECT_GE(firm, 12);
}

TEST_F(CanvasLib, TouchDraws)
{
    const std::unique_ptr<QPointingDevice> device(QTest::createTouchDevice());
    QPointingDevice *screen = device.get();
    QTest::touchEvent(canvas(), screen).press(0, {20, 75});
    for (int x = 40; x <= 180; x += 20)
        QTest::touchEvent(canvas(), screen).move(0, {x, 75});
    QTest::touchEvent(canvas(), screen).release(0, {180, 75});
    EXPECT_EQ(snapshot().pixel(100, 75), Red);
}
