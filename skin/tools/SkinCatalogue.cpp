#include "SkinCatalogue.h"

#include "SkinGlyphs.h"

#include <QLinearGradient>
#include <QPainter>

const TPenColour PenColours[9] = {
    {"White", 0xFFFFFFFF},     {"Black", 0xFF000000},  {"Red", 0xFFDB214C},
    {"Orange", 0xFFDB5C21},    {"Yellow", 0xFFEE940C}, {"Green", 0xFF42C734},
    {"LightBlue", 0xFF216FDB}, {"Blue", 0xFF233D9F},   {"Purple", 0xFF962FCD},
};

QStringList TSkinImage::ResourceNames() const
{
    if (!ThreeState)
        return {Name};
    QStringList names;
    for (const TButtonState state : {TButtonState::Normal, TButtonState::Down, TButtonState::Over})
        names << Name + StateLetter(state);
    return names;
}

namespace {

TSkinImage Button(const QString &ABase, const std::function<void(QPainter &, const TInk &)> &AGlyph)
{
    TSkinImage image;
    image.Name = ABase;
    image.Size = QSize(ButtonSide, ButtonSide);
    image.ThreeState = true;
    image.Paint = [AGlyph](QPainter &P, TButtonState AState) {
        PaintButtonFace(P, AState);
        P.save();
        EnterGlyphBox(P, AState);
        AGlyph(P, InkFor(AState));
        P.restore();
    };
    return image;
}

TSkinImage Single(const QString &AName, QSize ASize, std::function<void(QPainter &)> APaint)
{
    TSkinImage image;
    image.Name = AName;
    image.Size = ASize;
    image.Paint = [APaint](QPainter &P, TButtonState) {
        APaint(P);
    };
    return image;
}

// A tab of the menu bar: rounded at the top, bright when selected.
void PaintTab(QPainter &P, const QString &AText, bool AOn)
{
    const QRectF box(0.5, 0.5, 79, 20);
    QPainterPath tab;
    tab.moveTo(box.bottomLeft());
    tab.lineTo(box.left(), box.top() + 6);
    tab.quadTo(box.topLeft(), QPointF(box.left() + 6, box.top()));
    tab.lineTo(box.right() - 6, box.top());
    tab.quadTo(box.topRight(), QPointF(box.right(), box.top() + 6));
    tab.lineTo(box.bottomRight());
    tab.closeSubpath();
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    if (AOn) {
        fill.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
        fill.setColorAt(1.0, QColor(0xF4, 0xF4, 0xF6));
    } else {
        fill.setColorAt(0.0, QColor(0x80, 0x80, 0x84));
        fill.setColorAt(1.0, QColor(0x4A, 0x4A, 0x4E));
    }
    P.fillPath(tab, fill);
    P.strokePath(tab, QPen(AOn ? QColor(0xFF, 0xFF, 0xFF) : QColor(0x9A, 0x9A, 0x9E), 1.0));
    const QColor ink = AOn ? QColor(0x1F, 0x5F, 0xAE) : QColor(0xE4, 0xE4, 0xE6);
    PaintText(P, CenteredText(AText, TTypeface::Label, 12.5, QPointF(40, 11)), ink, 0.3);
}

// A heading of the pen-option popup: its word at the left, in the popup's grey.
void PaintHeading(QPainter &P, const QString &AText)
{
    const TInk ink = LabelInk();
    PaintText(P, LeftText(AText, TTypeface::Label, 13, QRectF(1, 0, 51, 20)), ink.Line, 0.35);
}

void PaintChoice(QPainter &P, bool AMarker)
{
    P.translate(4.5, 4.5);
    P.scale(36.0 / 32.0, 36.0 / 32.0);
    const TInk ink = LabelInk();
    const QColor body(0x6E, 0x6E, 0x76);
    if (AMarker)
        Glyph::Marker(P, ink, body);
    else
        Glyph::Pen(P, ink, body);
}

void PaintThickness(QPainter &P, int AWidth)
{
    QPainterPath back;
    back.addRoundedRect(QRectF(0, 0, 46, 37), 3, 3);
    P.fillPath(back, QColor(0xF7, 0xF7, 0xF8));
    const qreal y = 18.5;
    QPainterPath stroke(QPointF(9 + AWidth / 2.0, y));
    stroke.lineTo(37 - AWidth / 2.0, y);
    P.strokePath(stroke, InkPen(LabelInk().Line, AWidth));
}

void PaintCheck(QPainter &P)
{
    QPainterPath tick(QPointF(4.5, 10));
    tick.lineTo(10, 15);
    tick.lineTo(20.5, 4);
    P.strokePath(tick, InkPen(QColor(0x26, 0x26, 0x2A, 220), 5.6));
    P.strokePath(tick, InkPen(QColor(0xFF, 0xFF, 0xFF), 3.0));
}

} // namespace

QList<TSkinImage> SkinCatalogue()
{
    using namespace Glyph;
    QList<TSkinImage> list;
    const QString preview = QStringLiteral("RES_PREVIEW_MENU_");
    const struct
    {
        const char *Word;
        TDraw Draw;
    } previewButtons[] = {
        {"LOAD", Load},
        {"CAPTURE", Capture},
        {"RECORDING", Record},
        {"STOP", Stop},
        {"AF", AutoFocus},
        {"FULLSCREENON", FullScreenOn},
        {"FULLSCREENOFF", FullScreenOff},
        {"INVERTCOLOR", InvertColor},
        {"GRAYSCALE", Grayscale},
        {"FLIPVERT", FlipVert},
        {"FLIPHORZ", FlipHorz},
        {"ROTATE", Rotate},
        {"RESOLUTION", Resolution},
        {"ZOOMIN", ZoomIn},
        {"ZOOMOUT", ZoomOut},
        {"BACK", Back},
        {"CAMERA", Camera},
        {"SETTING", Setting},
        {"4_3", Ratio4x3},
        {"16_9", Ratio16x9},
    };
    for (const auto &b : previewButtons)
        list << Button(preview + QLatin1String(b.Word) + u'_', b.Draw);

    const QString drawing = QStringLiteral("RES_DRAWING_MENU_");
    const struct
    {
        const char *Word;
        TDraw Draw;
    } drawingButtons[] = {
        {"LOAD", Load},
        {"Save", Save},
        {"UNDO", Undo},
        {"REDO", Redo},
        {"PENOPTION", PenOption},
        {"ERASERTOOL", EraserTool},
        {"SHAPE", Shape},
        {"ROTATE", Rotate},
        {"INVERTCOLOR", InvertColor},
        {"FLIPHORZ", FlipHorz},
        {"FLIPVERT", FlipVert},
        {"RETURN", Return},
        {"MOVE", Move},
        {"ERASER", Eraser},
        {"ERASERALL", EraserAll},
        {"BLACKBOARD", BlackBoard},
        {"GREENBOARD", GreenBoard},
        {"WHITEBOARD", WhiteBoard},
        {"LINE", Line},
        {"RECTANGLE", Rectangle},
        {"ELLIPSE", Ellipse},
    };
    for (const auto &b : drawingButtons)
        list << Button(drawing + QLatin1String(b.Word) + u'_', b.Draw);

    for (const bool marker : {false, true}) {
        for (const TPenColour &c : PenColours) {
            const QColor colour = QColor::fromRgba(c.Value);
            const QString base = drawing +
                                 (marker ? QStringLiteral("MARKER_") : QStringLiteral("PEN_")) +
                                 QLatin1String(c.Word) + u'_';
            list << Button(base, [marker, colour](QPainter &P, const TInk &I) {
                if (marker)
                    Glyph::Marker(P, I, colour);
                else
                    Glyph::Pen(P, I, colour);
            });
        }
    }

    list << Single(QStringLiteral("RES_MENU_PREVIEW_ON"), {80, 20},
                   [](QPainter &P) { PaintTab(P, QStringLiteral("프리뷰"), true); });
    list << Single(QStringLiteral("RES_MENU_PREVIEW_OFF"), {80, 20},
                   [](QPainter &P) { PaintTab(P, QStringLiteral("프리뷰"), false); });
    list << Single(QStringLiteral("RES_MENU_DRAWING_ON"), {80, 20},
                   [](QPainter &P) { PaintTab(P, QStringLiteral("판서"), true); });
    list << Single(QStringLiteral("RES_MENU_DRAWING_OFF"), {80, 20},
                   [](QPainter &P) { PaintTab(P, QStringLiteral("판서"), false); });

    const QString option = drawing + QStringLiteral("PENOPTION_");
    list << Single(option + QStringLiteral("PENTYPE"), {52, 20},
                   [](QPainter &P) { PaintHeading(P, QStringLiteral("펜 종류")); });
    list << Single(option + QStringLiteral("PENWIDTH"), {52, 20},
                   [](QPainter &P) { PaintHeading(P, QStringLiteral("펜 굵기")); });
    list << Single(option + QStringLiteral("PENCOLOR"), {52, 20},
                   [](QPainter &P) { PaintHeading(P, QStringLiteral("펜 색상")); });
    list << Single(option + QStringLiteral("PEN"), {45, 45},
                   [](QPainter &P) { PaintChoice(P, false); });
    list << Single(option + QStringLiteral("MARKER"), {45, 45},
                   [](QPainter &P) { PaintChoice(P, true); });
    const int widths[] = {3, 5, 8, 10, 15};
    for (int i = 0; i < 5; ++i)
        list << Single(option + QStringLiteral("THICKNESS_%1").arg(i + 1), {46, 37},
                       [w = widths[i]](QPainter &P) { PaintThickness(P, w); });
    list << Single(option + QStringLiteral("CHECKED"), {25, 19}, PaintCheck);
    return list;
}
