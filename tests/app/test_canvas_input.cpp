// Touch on the drawing area, with real touch events through the window:
// one finger draws, two fingers move a large drawing and never draw.
#include "DrawingTestSupport.h"

#include <QPointingDevice>

namespace {

constexpr QRgb Red = 0xFFDB214C;

class CanvasTouch : public DrawingFixture
{
protected:
    void SetUp() override
    {
        DrawingFixture::SetUp();
        Commands->SelectPenColor(QStringLiteral("#FFDB214C"));
    }
    // A touch screen, with or without pressure.
    static QPointingDevice *Screen(bool APressure)
    {
        static QPointingDevice *plain = QTest::createTouchDevice();
        static QPointingDevice *pressure = QTest::createTouchDevice(
            QInputDevice::DeviceType::TouchScreen,
            QInputDevice::Capability::Position | QInputDevice::Capability::Pressure);
        return APressure ? pressure : plain;
    }
    // One finger from AFrom to ATo (surface coordinates) in ASteps moves.
    void Stroke(QPointingDevice *ADevice, QPoint AFrom, QPoint ATo, int ASteps = 10)
    {
        QTest::touchEvent(Surface(), ADevice).press(0, AFrom, Surface());
        for (int i = 1; i <= ASteps; ++i)
            QTest::touchEvent(Surface(), ADevice)
                .move(0, AFrom + (ATo - AFrom) * i / ASteps, Surface());
        QTest::touchEvent(Surface(), ADevice).release(0, ATo, Surface());
    }
    // What the surface shows now.
    QImage Shown() { return Surface()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST_F(CanvasTouch, OneFingerDrawsWithOrWithoutPressure)
{
    for (const bool pressure : {false, true}) {
        Commands->SetCanvasPicture(Quadrants(400, 300));
        const QPoint origin = DrawingOrigin();
        Stroke(Screen(pressure), origin + QPoint(50, 75), origin + QPoint(350, 75));
        const QImage now = Snapshot();
        for (const int x : {60, 200, 340})
            EXPECT_TRUE(Near(now.pixel(x, 75), Red)) << x << " pressure " << pressure;
        EXPECT_EQ(now.pixel(200, 110), QuadrantColours[1]);
        EXPECT_EQ(Canvas->StoredPenTool(), KARVO_TOOL_PEN);
    }
}

TEST_F(CanvasTouch, ATapDrawsADot)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    const QPoint at = DrawingOrigin() + QPoint(100, 200);
    QTest::touchEvent(Surface(), Screen(false)).press(0, at, Surface());
    QTest::touchEvent(Surface(), Screen(false)).release(0, at, Surface());
    EXPECT_TRUE(Near(Snapshot().pixel(100, 200), Red));
}

TEST_F(CanvasTouch, TwoFingersMoveALargeDrawingAndDrawNothing)
{
    Commands->SetCanvasPicture(Quadrants(1600, 1200));
    ASSERT_EQ(Surface()->size(), QSize(800, 600));
    const QImage drawing = Snapshot();
    // The drawing is centred: its middle, where the quadrants meet, is in
    // the middle of the surface.
    EXPECT_EQ(Shown().pixel(450, 350), QuadrantColours[3]);

    QPointingDevice *screen = Screen(false);
    QPoint a(300, 300), b(420, 300);
    // The second finger comes down right after the first, before it moved.
    QTest::touchEvent(Surface(), screen).press(0, a, Surface());
    QTest::touchEvent(Surface(), screen).move(0, a, Surface()).press(1, b, Surface());
    for (int i = 0; i < 10; ++i) {
        a += QPoint(10, 8);
        b += QPoint(10, 8);
        QTest::touchEvent(Surface(), screen).move(0, a, Surface()).move(1, b, Surface());
    }
    QTest::touchEvent(Surface(), screen).release(0, a, Surface()).release(1, b, Surface());

    // Moved by (100, 80): what was at (350, 270) is now at (450, 350).
    EXPECT_EQ(Shown().pixel(450, 350), QuadrantColours[0]);
    EXPECT_EQ(Shown().pixel(560, 350), QuadrantColours[1]);
    EXPECT_EQ(Snapshot(), drawing);
    EXPECT_EQ(Canvas->StoredPenTool(), KARVO_TOOL_PEN);

    // Then one finger draws again.
    Stroke(screen, {100, 100}, {300, 100});
    EXPECT_TRUE(Near(Snapshot().pixel(200 + 300, 100 + 220), Red));
}

TEST_F(CanvasTouch, AFingerHeldStillAsksForTheBoardAndDrawsNothing)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    const QImage drawing = Snapshot();
    const QPoint at = DrawingOrigin() + QPoint(100, 200);
    TToolPopup &board = Commands->Popups().BoardTool;
    QTest::touchEvent(Surface(), Screen(false)).press(0, at, Surface());
    // A tremble of the finger is no stroke.
    QTest::touchEvent(Surface(), Screen(false)).move(0, at + QPoint(2, 1), Surface());
    ASSERT_TRUE(WaitUntil([&] { return board.isVisible(); }, 3000));
    EXPECT_EQ(board.x() + board.width() / 2, Surface()->mapToGlobal(at).x());
    QTest::touchEvent(Surface(), Screen(false)).move(0, at + QPoint(80, 0), Surface());
    QTest::touchEvent(Surface(), Screen(false)).release(0, at + QPoint(80, 0), Surface());
    board.close();
    EXPECT_EQ(Snapshot(), drawing);
}

TEST_F(CanvasTouch, TwoFingersOnASmallDrawingMoveNothing)
{
    Commands->SetCanvasPicture(Quadrants(400, 300));
    const QImage shown = Shown();
    const QImage drawing = Snapshot();
    QPointingDevice *screen = Screen(false);
    QTest::touchEvent(Surface(), screen)
        .press(0, {100, 100}, Surface())
        .press(1, {200, 100}, Surface());
    QTest::touchEvent(Surface(), screen)
        .move(0, {160, 180}, Surface())
        .move(1, {260, 180}, Surface());
    QTest::touchEvent(Surface(), screen)
        .release(0, {160, 180}, Surface())
        .release(1, {260, 180}, Surface());
    EXPECT_EQ(Shown(), shown);
    EXPECT_EQ(Snapshot(), drawing);
}

} // namespace
