#include "scene/GlyphButton.h"

#include "scene/PathData.h"

#include <QPainter>

TGlyphButton::TGlyphButton(QWidget *AParent)
    : TSceneButton(AParent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void TGlyphButton::SetGlyph(const QPainterPath &APath, const QRectF &ABox)
{
    FGlyph = APath;
    FGlyphBox = ABox;
    update();
}

void TGlyphButton::SetColors(const QColor &AFill, const QColor &AOutline, qreal AOutlineWidth,
                             const QColor &AGlyph)
{
    FFill = AFill;
    FOutline = AOutline;
    FOutlineWidth = AOutlineWidth;
    FGlyphColor = AGlyph;
    update();
}

void TGlyphButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal half = FOutlineWidth / 2;
    const QRectF circle = QRectF(rect()).adjusted(half, half, -half, -half);
    QColor fill = FFill;
    if (Down())
        fill = fill.darker(125);
    else if (Hover())
        fill = fill.lighter(135);
    p.setPen(QPen(FOutline, FOutlineWidth));
    p.setBrush(fill);
    p.drawEllipse(circle);
    p.setPen(Qt::NoPen);
    p.setBrush(FGlyphColor);
    p.drawPath(StretchPath(FGlyph, FGlyphBox));
}
