#include "SkinGlyphs.h"

#include <QPainter>
#include <QPolygonF>
#include <QTransform>
#include <cmath>

namespace Glyph {
namespace {

void Stroke(QPainter &P, const QPainterPath &APath, const QColor &AColor, qreal AWidth)
{
    P.strokePath(APath, InkPen(AColor, AWidth));
}

void Fill(QPainter &P, const QPainterPath &APath, const QColor &AColor)
{
    P.fillPath(APath, AColor);
}

QPainterPath Polygon(std::initializer_list<QPointF> APoints)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(APoints)));
    path.closeSubpath();
    return path;
}

QPainterPath Circle(QPointF ACenter, qreal ARadius)
{
    QPainterPath path;
    path.addEllipse(ACenter, ARadius, ARadius);
    return path;
}

QPainterPath Segment(QPointF AFrom, QPointF ATo)
{
    QPainterPath path(AFrom);
    path.lineTo(ATo);
    return path;
}

// A filled arrow head whose point is ATip, pointing along ADirection.
QPainterPath ArrowHead(QPointF ATip, QPointF ADirection, qreal ALength, qreal AHalfWidth)
{
    const qreal norm = std::hypot(ADirection.x(), ADirection.y());
    const QPointF d = ADirection / norm;
    const QPointF n(-d.y(), d.x());
    const QPointF base = ATip - d * ALength;
    QPainterPath head = Polygon({ATip, base + n * AHalfWidth, base - n * AHalfWidth});
    // Rounds the corners a little, as the strokes are rounded.
    QPainterPathStroker round;
    round.setWidth(1.2);
    round.setJoinStyle(Qt::RoundJoin);
    return head.united(round.createStroke(head));
}

// An arc around ACenter from AStart degrees sweeping ASweep degrees (negative:
// clockwise on the screen) with an arrow head at its end.
void ArcArrow(QPainter &P, const QColor &AColor, QPointF ACenter, qreal ARadius, qreal AStart,
              qreal ASweep, qreal AWidth, qreal AHead)
{
    const QRectF box(ACenter.x() - ARadius, ACenter.y() - ARadius, 2 * ARadius, 2 * ARadius);
    QPainterPath arc;
    arc.arcMoveTo(box, AStart);
    arc.arcTo(box, AStart, ASweep);
    Stroke(P, arc, AColor, AWidth);
    const qreal end = qDegreesToRadians(AStart + ASweep);
    const QPointF endPoint(ACenter.x() + ARadius * std::cos(end),
                           ACenter.y() - ARadius * std::sin(end));
    const qreal sense = ASweep < 0 ? 1.0 : -1.0;
    const QPointF direction(sense * std::sin(end), sense * std::cos(end));
    Fill(P, ArrowHead(endPoint + direction * (AHead * 0.55), direction, AHead, AHead * 0.78),
         AColor);
}

void Corner(QPainterPath &APath, QPointF AVertex, qreal ADx, qreal ADy)
{
    APath.moveTo(AVertex + QPointF(ADx, 0));
    APath.lineTo(AVertex);
    APath.lineTo(AVertex + QPointF(0, ADy));
}

void Board(QPainter &P, const TInk &I, const QColor &ASurface, const QColor &AChalk)
{
    QPainterPath legs = Segment({9, 22}, {6.5, 29});
    legs.addPath(Segment({23, 22}, {25.5, 29}));
    Stroke(P, legs, I.Line, 2.4);
    QPainterPath board;
    board.addRoundedRect(QRectF(3, 4, 26, 18), 2, 2);
    Fill(P, board, ASurface);
    Stroke(P, board, I.Edge, 2.4);
    QPainterPath chalk(QPointF(7.5, 15));
    chalk.cubicTo(9.5, 9, 12, 9, 13.5, 13);
    chalk.cubicTo(15, 17, 17.5, 17, 19, 12.5);
    chalk.cubicTo(20.5, 9, 23, 9.5, 24.5, 13);
    Stroke(P, chalk, AChalk, 1.7);
}

// The body of an eraser lying at 45 degrees, its rubbing end at the bottom left.
void EraserBlock(QPainter &P, const TInk &I, QPointF AFoot)
{
    P.save();
    P.translate(AFoot);
    P.rotate(-45);
    QPainterPath rubber;
    rubber.addRoundedRect(QRectF(0, -6.2, 9, 12.4), 2, 2);
    QPainterPath sleeve;
    sleeve.addRoundedRect(QRectF(8, -6.2, 16, 12.4), 2, 2);
    Fill(P, rubber, I.Line);
    Stroke(P, rubber, I.Line, 2.2);
    Stroke(P, sleeve, I.Line, 2.2);
    P.restore();
}

QPainterPath Magnifier(QPainter &P, const TInk &I)
{
    Stroke(P, Circle({13.5, 13.5}, 9), I.Line, 2.8);
    Stroke(P, Segment({20.6, 20.6}, {27.5, 27.5}), I.Line, 5);
    return Segment({9, 13.5}, {18, 13.5});
}

void RatioFrame(QPainter &P, const TInk &I, qreal AWidth, qreal AHeight, const QString &AText,
                qreal ATextSize)
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(16 - AWidth / 2, 16 - AHeight / 2, AWidth, AHeight), 2.5, 2.5);
    Stroke(P, frame, I.Line, 2.2);
    PaintText(P, CenteredText(AText, TTypeface::Numeral, ATextSize, {16, 16}), I.Line, 0.5);
}

} // namespace

void Load(QPainter &P, const TInk &I)
{
    QPainterPath back(QPointF(4, 25));
    back.lineTo(4, 7.5);
    back.lineTo(12, 7.5);
    back.lineTo(15, 10.5);
    back.lineTo(26, 10.5);
    back.lineTo(26, 14);
    Stroke(P, back, I.Line, 2.4);
    const QPainterPath front = Polygon({{3.5, 26.5}, {8.5, 15.5}, {30, 15.5}, {25, 26.5}});
    Fill(P, front, I.Line);
    Stroke(P, front, I.Line, 1.4);
}

void Capture(QPainter &P, const TInk &I)
{
    QPainterPath body;
    body.addRoundedRect(QRectF(2, 9, 28, 19), 4, 4);
    QPainterPath hump;
    hump.addRoundedRect(QRectF(10, 5.5, 12, 6), 2, 2);
    body = body.united(hump);
    body = body.subtracted(Circle({16, 18.5}, 7.2));
    body = body.subtracted(Circle({25.3, 13}, 1.5));
    Fill(P, body, I.Line);
    Fill(P, Circle({16, 18.5}, 4.6), I.Line);
}

void Record(QPainter &P, const TInk &I)
{
    Stroke(P, Circle({16, 16}, 12.5), I.Line, 2.4);
    Fill(P, Circle({16, 16}, 8), I.Accent);
}

void Stop(QPainter &P, const TInk &I)
{
    Stroke(P, Circle({16, 16}, 12.5), I.Line, 2.4);
    QPainterPath square;
    square.addRoundedRect(QRectF(9.5, 9.5, 13, 13), 2.2, 2.2);
    Fill(P, square, I.Accent);
}

void AutoFocus(QPainter &P, const TInk &I)
{
    QPainterPath corners;
    Corner(corners, {2.5, 4.5}, 7, 6);
    Corner(corners, {29.5, 4.5}, -7, 6);
    Corner(corners, {2.5, 27.5}, 7, -6);
    Corner(corners, {29.5, 27.5}, -7, -6);
    Stroke(P, corners, I.Line, 2.4);
    PaintText(P, CenteredText(QStringLiteral("AF"), TTypeface::Numeral, 15, {16, 16}), I.Line, 0.6);
}

void FullScreenOn(QPainter &P, const TInk &I)
{
    QPainterPath corners;
    Corner(corners, {2.5, 4}, 8.5, 7.5);
    Corner(corners, {29.5, 4}, -8.5, 7.5);
    Corner(corners, {2.5, 28}, 8.5, -7.5);
    Corner(corners, {29.5, 28}, -8.5, -7.5);
    Stroke(P, corners, I.Line, 2.8);
    QPainterPath screen;
    screen.addRoundedRect(QRectF(10, 11, 12, 10), 1.5, 1.5);
    Fill(P, screen, I.Soft);
}

void FullScreenOff(QPainter &P, const TInk &I)
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(2.5, 4, 27, 24), 2.5, 2.5);
    Stroke(P, frame, I.Soft, 1.6);
    QPainterPath corners;
    Corner(corners, {12, 12.5}, -6.5, -5.5);
    Corner(corners, {20, 12.5}, 6.5, -5.5);
    Corner(corners, {12, 19.5}, -6.5, 5.5);
    Corner(corners, {20, 19.5}, 6.5, 5.5);
    Stroke(P, corners, I.Line, 2.8);
}

void InvertColor(QPainter &P, const TInk &I)
{
    QPainterPath half(QPointF(16, 16));
    half.arcTo(QRectF(4, 4, 24, 24), 90, 180);
    half.closeSubpath();
    Fill(P, half, I.Line);
    Stroke(P, Circle({16, 16}, 12), I.Line, 2.4);
}

void Grayscale(QPainter &P, const TInk &I)
{
    const QColor tones[] = {QColor(0x16, 0x16, 0x18), QColor(0x5A, 0x5A, 0x5E),
                            QColor(0x9E, 0x9E, 0xA2), QColor(0xEE, 0xEE, 0xEE)};
    const QRectF box(3, 7, 26, 18);
    QPainterPath frame;
    frame.addRoundedRect(box, 3, 3);
    P.save();
    P.setClipPath(frame);
    for (int i = 0; i < 4; ++i)
        P.fillRect(QRectF(box.left() + i * box.width() / 4, box.top(), box.width() / 4 + 0.5,
                          box.height()),
                   tones[i]);
    P.restore();
    Stroke(P, frame, I.Line, 2.2);
}

void FlipVert(QPainter &P, const TInk &I)
{
    QPen axis = InkPen(I.Line, 1.8);
    axis.setDashPattern({1.2, 1.6});
    axis.setCapStyle(Qt::FlatCap);
    P.strokePath(Segment({2, 16}, {30, 16}), axis);
    const QPainterPath upper = Polygon({{7, 12.5}, {25, 12.5}, {16, 3}});
    Fill(P, upper, I.Line);
    Stroke(P, upper, I.Line, 1.6);
    Stroke(P, Polygon({{7.5, 19.5}, {24.5, 19.5}, {16, 28.5}}), I.Line, 2.2);
}

void FlipHorz(QPainter &P, const TInk &I)
{
    P.save();
    P.setTransform(QTransform(0, 1, 1, 0, 0, 0), true); // mirror about the diagonal
    FlipVert(P, I);
    P.restore();
}

void Rotate(QPainter &P, const TInk &I)
{
    ArcArrow(P, I.Line, {16, 17}, 10.5, 335, -255, 2.8, 8);
    QPainterPath page;
    page.addRoundedRect(QRectF(12, 13, 8, 8), 1.2, 1.2);
    Fill(P, page, I.Soft);
}

void Resolution(QPainter &P, const TInk &I)
{
    QPainterPath screen;
    screen.addRoundedRect(QRectF(2.5, 4, 27, 19), 2.5, 2.5);
    Stroke(P, screen, I.Line, 2.2);
    QPainterPath stand = Segment({16, 23}, {16, 27.5});
    stand.addPath(Segment({10, 28}, {22, 28}));
    Stroke(P, stand, I.Line, 2.4);
    PaintText(P, CenteredText(QStringLiteral("HD"), TTypeface::Numeral, 12.5, {16, 13.5}), I.Line,
              0.6);
}

void ZoomIn(QPainter &P, const TInk &I)
{
    QPainterPath plus = Magnifier(P, I);
    plus.addPath(Segment({13.5, 9}, {13.5, 18}));
    Stroke(P, plus, I.Line, 2.6);
}

void ZoomOut(QPainter &P, const TInk &I)
{
    Stroke(P, Magnifier(P, I), I.Line, 2.6);
}

void Back(QPainter &P, const TInk &I)
{
    QPainterPath path(QPointF(27, 5));
    path.lineTo(27, 14);
    path.quadTo(27, 20.5, 20.5, 20.5);
    path.lineTo(9, 20.5);
    Stroke(P, path, I.Line, 2.8);
    Fill(P, ArrowHead({3, 20.5}, {-1, 0}, 8, 6.2), I.Line);
}

void Camera(QPainter &P, const TInk &I)
{
    Fill(P, Polygon({{22.5, 10}, {13, 24.5}, {30, 24.5}}), I.Soft);
    QPainterPath base;
    base.addRoundedRect(QRectF(3, 25, 27, 4), 1.5, 1.5);
    Fill(P, base, I.Line);
    QPainterPath arm(QPointF(8, 25));
    arm.lineTo(8, 10);
    arm.lineTo(18, 6.5);
    Stroke(P, arm, I.Line, 2.6);
    QPainterPath head;
    head.addRoundedRect(QRectF(16, 3, 13, 7), 2, 2);
    Fill(P, head, I.Line);
}

void Setting(QPainter &P, const TInk &I)
{
    QPainterPath gear = Circle({16, 16}, 10);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-3, -14.5, 6, 7), 1.3, 1.3);
        QTransform turn;
        turn.translate(16, 16);
        turn.rotate(i * 45.0);
        gear = gear.united(turn.map(tooth));
    }
    gear = gear.subtracted(Circle({16, 16}, 4.4));
    Fill(P, gear, I.Line);
}

void Ratio4x3(QPainter &P, const TInk &I)
{
    RatioFrame(P, I, 25, 20, QStringLiteral("4:3"), 12);
}

void Ratio16x9(QPainter &P, const TInk &I)
{
    RatioFrame(P, I, 31, 18, QStringLiteral("16:9"), 11.5);
}

void Save(QPainter &P, const TInk &I)
{
    QPainterPath disk = Polygon({{3, 3}, {24, 3}, {29, 8}, {29, 29}, {3, 29}});
    QPainterPathStroker round;
    round.setWidth(2.4);
    round.setJoinStyle(Qt::RoundJoin);
    disk = disk.united(round.createStroke(disk));
    disk = disk.subtracted(Polygon({{9, 2}, {22, 2}, {22, 11}, {9, 11}}));
    QPainterPath label;
    label.addRoundedRect(QRectF(7.5, 16.5, 17, 10.5), 1.5, 1.5);
    disk = disk.subtracted(label);
    Fill(P, disk, I.Line);
    QPainterPath slot;
    slot.addRoundedRect(QRectF(17, 4.5, 3, 5), 0.8, 0.8);
    Fill(P, slot, I.Line);
    QPainterPath lines = Segment({10.5, 20}, {21.5, 20});
    lines.addPath(Segment({10.5, 23.5}, {21.5, 23.5}));
    Stroke(P, lines, I.Soft, 1.4);
}

void Undo(QPainter &P, const TInk &I)
{
    QPainterPath path(QPointF(10, 10.5));
    path.lineTo(19.5, 10.5);
    path.cubicTo(25.5, 10.5, 28.5, 14, 28.5, 18.5);
    path.cubicTo(28.5, 23, 25.5, 26.5, 19.5, 26.5);
    path.lineTo(12, 26.5);
    Stroke(P, path, I.Line, 2.8);
    Fill(P, ArrowHead({3, 10.5}, {-1, 0}, 8, 6.2), I.Line);
}

void Redo(QPainter &P, const TInk &I)
{
    P.save();
    P.translate(32, 0);
    P.scale(-1, 1);
    Undo(P, I);
    P.restore();
}

void PenOption(QPainter &P, const TInk &I)
{
    Pen(P, I, QColor(0xF4, 0xF4, 0xF4));
    const QColor dots[] = {QColor(0xDB, 0x21, 0x4C), QColor(0xEE, 0x94, 0x0C),
                           QColor(0x21, 0x6F, 0xDB)};
    const QPointF where[] = {{5, 5.5}, {11.5, 5.5}, {5, 12}};
    for (int i = 0; i < 3; ++i) {
        Fill(P, Circle(where[i], 3.1), I.Halo);
        Fill(P, Circle(where[i], 2.4), dots[i]);
    }
}

void EraserTool(QPainter &P, const TInk &I)
{
    EraserBlock(P, I, {6.5, 23.5});
    Stroke(P, Segment({3, 28.5}, {29, 28.5}), I.Line, 2.2);
}

void Eraser(QPainter &P, const TInk &I)
{
    EraserBlock(P, I, {10.5, 21.5});
    QPen trail = InkPen(I.Line, 2.2);
    trail.setDashPattern({1.0, 1.8});
    P.strokePath(Segment({2.5, 28.5}, {29.5, 28.5}), trail);
}

void EraserAll(QPainter &P, const TInk &I)
{
    QPainterPath lid = Segment({4.5, 8}, {27.5, 8});
    QPainterPath handle(QPointF(12, 7.5));
    handle.lineTo(12, 4.5);
    handle.lineTo(20, 4.5);
    handle.lineTo(20, 7.5);
    lid.addPath(handle);
    Stroke(P, lid, I.Line, 2.6);
    QPainterPath can(QPointF(7.5, 11.5));
    can.lineTo(9.5, 28.5);
    can.lineTo(22.5, 28.5);
    can.lineTo(24.5, 11.5);
    Stroke(P, can, I.Line, 2.4);
    QPainterPath ribs = Segment({13, 14.5}, {13.5, 25});
    ribs.addPath(Segment({19, 14.5}, {18.5, 25}));
    Stroke(P, ribs, I.Line, 2.0);
}

void Shape(QPainter &P, const TInk &I)
{
    QPainterPath square;
    square.addRect(QRectF(3.5, 12.5, 15, 15));
    Stroke(P, square, I.Line, 2.4);
    const QPainterPath disc = Circle({21, 11}, 8);
    Fill(P, disc, I.Soft);
    Stroke(P, disc, I.Line, 2.4);
}

void Return(QPainter &P, const TInk &I)
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(9.5, 9.5, 20, 18.5), 1.8, 1.8);
    Stroke(P, frame, I.Line, 2.2);
    Fill(P, Polygon({{12, 25.5}, {17.5, 18}, {21, 22}, {23.5, 19.5}, {27, 25.5}}), I.Line);
    Fill(P, Circle({24, 14.5}, 1.9), I.Line);
    QPainterPath hook(QPointF(16, 4));
    hook.lineTo(8, 4);
    hook.quadTo(3.5, 4, 3.5, 8.5);
    hook.lineTo(3.5, 16);
    Stroke(P, hook, I.Line, 2.6);
    Fill(P, ArrowHead({3.5, 23}, {0, 1}, 7, 5.2), I.Line);
}

void Move(QPainter &P, const TInk &I)
{
    QPainterPath cross = Segment({16, 7}, {16, 25});
    cross.addPath(Segment({7, 16}, {25, 16}));
    Stroke(P, cross, I.Line, 2.4);
    Fill(P, ArrowHead({16, 2}, {0, -1}, 7, 5), I.Line);
    Fill(P, ArrowHead({16, 30}, {0, 1}, 7, 5), I.Line);
    Fill(P, ArrowHead({2, 16}, {-1, 0}, 7, 5), I.Line);
    Fill(P, ArrowHead({30, 16}, {1, 0}, 7, 5), I.Line);
}

void BlackBoard(QPainter &P, const TInk &I)
{
    Board(P, I, QColor(0x00, 0x00, 0x00), QColor(0xF2, 0xF2, 0xF2));
}

void GreenBoard(QPainter &P, const TInk &I)
{
    Board(P, I, QColor(0x22, 0x55, 0x50), QColor(0xF2, 0xF2, 0xF2));
}

void WhiteBoard(QPainter &P, const TInk &I)
{
    Board(P, I, QColor(0xFF, 0xFF, 0xFF), QColor(0x21, 0x6F, 0xDB));
}

void Line(QPainter &P, const TInk &I)
{
    Stroke(P, Segment({6, 26}, {26, 6}), I.Line, 2.8);
    Fill(P, Circle({5, 27}, 3), I.Line);
    Fill(P, Circle({27, 5}, 3), I.Line);
}

void Rectangle(QPainter &P, const TInk &I)
{
    QPainterPath box;
    box.addRect(QRectF(3.5, 7, 25, 18));
    Stroke(P, box, I.Line, 2.8);
}

void Ellipse(QPainter &P, const TInk &I)
{
    QPainterPath oval;
    oval.addEllipse(QRectF(2.5, 6.5, 27, 19));
    Stroke(P, oval, I.Line, 2.8);
}

void Pen(QPainter &P, const TInk &I, const QColor &AColour)
{
    // The stroke it has just drawn.
    QPainterPath line(QPointF(10.5, 29));
    line.cubicTo(15, 25.5, 18, 31, 22, 28.5);
    line.cubicTo(24.5, 27, 26.5, 27.5, 29.5, 28.5);
    Stroke(P, line, I.Edge, 4.6);
    Stroke(P, line, AColour, 2.6);

    P.save();
    P.translate(4, 26);
    P.rotate(-45);
    QPainterPath body;
    body.addRoundedRect(QRectF(9, -3.8, 20.5, 7.6), 2.4, 2.4);
    const QPainterPath cone = Polygon({{2.4, -1.3}, {9.5, -3.8}, {9.5, 3.8}, {2.4, 1.3}});
    QPainterPath point;
    point.addRoundedRect(QRectF(-0.6, -1.3, 3.6, 2.6), 1.2, 1.2);
    Fill(P, cone, QColor(0xE4, 0xE4, 0xE6));
    Stroke(P, cone, I.Edge, 1.5);
    Fill(P, point, AColour);
    Stroke(P, point, I.Edge, 1.2);
    Fill(P, body, AColour);
    Stroke(P, body, I.Edge, 1.7);
    QPainterPath grip;
    grip.addRect(QRectF(9.5, -3.8, 3, 7.6));
    Fill(P, grip, I.Edge);
    P.restore();
}

void Marker(QPainter &P, const TInk &I, const QColor &AColour)
{
    // The broad band a marker leaves: the colour mixed with white, as on paper.
    QPainterPath band(QPointF(12, 27.5));
    band.lineTo(28, 27.5);
    const QColor tint =
        QColor::fromRgbF(0.45 * AColour.redF() + 0.55, 0.45 * AColour.greenF() + 0.55,
                         0.45 * AColour.blueF() + 0.55);
    Stroke(P, band, I.Edge, 7.4);
    Stroke(P, band, tint, 5.2);

    P.save();
    P.translate(4.5, 24);
    P.rotate(-45);
    const QPainterPath nib = Polygon({{0, -2.2}, {6.5, -4.2}, {6.5, 4.2}, {2.2, 4.2}});
    QPainterPath collar;
    collar.addRect(QRectF(6.5, -5, 3.5, 10));
    QPainterPath body;
    body.addRoundedRect(QRectF(10, -5.8, 20, 11.6), 2.6, 2.6);
    QPainterPath cap;
    cap.addRoundedRect(QRectF(21, -5.8, 9, 11.6), 2.6, 2.6);
    Fill(P, nib, AColour);
    Stroke(P, nib, I.Edge, 1.5);
    Fill(P, collar, I.Edge);
    Fill(P, body, QColor(0xF2, 0xF2, 0xF4));
    Fill(P, cap, AColour);
    Stroke(P, cap, I.Edge, 1.5);
    Stroke(P, body, I.Edge, 1.7);
    P.restore();
}

} // namespace Glyph
