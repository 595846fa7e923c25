#include "scene/TabButton.h"

#include <QPainter>
#include <QPainterPath>

TTabButton::TTabButton(QWidget *AParent)
    : TSceneButton(AParent)
{
    setCursor(Qt::PointingHandCursor);
}

void TTabButton::SetFill(const QImage &AImage)
{
    FFill = AImage;
    update();
}

void TTabButton::SetOutline(const QColor &AColor)
{
    FOutline = AColor;
    update();
}

void TTabButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF r = QRectF(rect());
    // Rounded top corners, square bottom corners.
    QPainterPath shape;
    shape.moveTo(r.bottomLeft());
    shape.lineTo(r.left(), r.top() + FRadius);
    shape.quadTo(r.topLeft(), QPointF(r.left() + FRadius, r.top()));
    shape.lineTo(r.right() - FRadius, r.top());
    shape.quadTo(r.topRight(), QPointF(r.right(), r.top() + FRadius));
    shape.lineTo(r.bottomRight());
    shape.closeSubpath();
    p.setClipPath(shape);
    if (!FFill.isNull())
        p.drawImage(r, FFill);
    if (FOutline.isValid()) {
        p.setClipping(false);
        p.setPen(QPen(FOutline, 1));
        p.drawPath(shape);
    }
}
