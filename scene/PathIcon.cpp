#include "scene/PathIcon.h"

#include <QPainter>

TPathIcon::TPathIcon(QWidget *AParent)
    : QWidget(AParent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TPathIcon::SetPath(const QPainterPath &APath, const QColor &AColor, qreal AWidth)
{
    FPath = APath;
    FColor = AColor;
    FWidth = AWidth;
    update();
}

void TPathIcon::paintEvent(QPaintEvent *)
{
    const QRectF bounds = FPath.boundingRect();
    if (bounds.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(FWidth, FWidth, -FWidth, -FWidth);
    const qreal scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    p.translate(box.center());
    p.scale(scale, scale);
    p.translate(-bounds.center());
    QPen pen(FColor, FWidth / scale);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(FPath);
}
