#include "scene/GlyphButton.h"

#include "scene/PathData.h"

#include <QMouseEvent>
#include <QPainter>

TGlyphButton::TGlyphButton(QWidget *AParent)
    : QWidget(AParent)
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
    if (FDown)
        fill = fill.darker(125);
    else if (FHover)
        fill = fill.lighter(135);
    p.setPen(QPen(FOutline, FOutlineWidth));
    p.setBrush(fill);
    p.drawEllipse(circle);
    p.setPen(Qt::NoPen);
    p.setBrush(FGlyphColor);
    p.drawPath(StretchPath(FGlyph, FGlyphBox));
}

void TGlyphButton::enterEvent(QEnterEvent *)
{
    FHover = true;
    update();
}

void TGlyphButton::leaveEvent(QEvent *)
{
    FHover = FDown = false;
    update();
}

void TGlyphButton::mousePressEvent(QMouseEvent *e)
{
    // Taken here, so a press on the button never reaches the bar beneath it.
    e->accept();
    if (e->button() == Qt::LeftButton) {
        FDown = true;
        update();
    }
}

void TGlyphButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !FDown)
        return;
    FDown = false;
    update();
    if (rect().contains(e->position().toPoint()))
        emit Clicked(this);
}
