#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QString>

class QPainter;

// The look shared by every image of the skin: the three button states, the ink
// a glyph is drawn with in each of them, and the text shapes of the labels.

enum class TButtonState
{
    Normal, // "N"
    Down,   // "D": pressed, or switched on
    Over,   // "O": the mouse hovers
};

QChar StateLetter(TButtonState AState);

// Colours a glyph is drawn with on the face of one state.
struct TInk
{
    QColor Line;   // strokes and solid parts
    QColor Soft;   // secondary parts (lighter or translucent Line)
    QColor Accent; // the record mark
    QColor Halo;   // a thin ring that keeps coloured parts apart from the face
    QColor Edge;   // outline of parts drawn in their own colour (pens, boards)
    bool Pressed = false;
};

TInk InkFor(TButtonState AState);

// The ink of images that are not buttons (popup labels, pen and marker choices).
TInk LabelInk();

// Side of a three-state button in pixels.
constexpr int ButtonSide = 55;

// Paints the 55 x 55 face of a button in the given state.
void PaintButtonFace(QPainter &APainter, TButtonState AState);

// Maps the 32-unit glyph box onto the middle of a button face.
void EnterGlyphBox(QPainter &APainter, TButtonState AState);

// A round-capped stroke of the ink's line colour.
QPen InkPen(const QColor &AColor, qreal AWidth);

// Fonts registered from the Korean font package; the tool stops when they are
// missing, so that no image silently falls back to another typeface.
bool LoadSkinFonts(QString &AError);

enum class TTypeface
{
    Label,   // Korean words
    Numeral, // short Latin texts and digits on glyphs
};

// The outline of a text at a size in pixels (fractions allowed): the glyph
// shapes become part of the image, so nothing depends on the fonts at run time.
QPainterPath TextOutline(const QString &AText, TTypeface AFace, qreal APixelSize);
// The same, with its ink centred on ACenter.
QPainterPath CenteredText(const QString &AText, TTypeface AFace, qreal APixelSize, QPointF ACenter);
// Fills a text outline and thickens it by AExtra pixels, so that small
// words keep the weight of the strokes around them.
void PaintText(QPainter &APainter, const QPainterPath &AText, const QColor &AColor, qreal AExtra);
// The same, its ink starting at the left of ABox and centred vertically in it.
QPainterPath LeftText(const QString &AText, TTypeface AFace, qreal APixelSize, const QRectF &ABox);
