#include "scene/ImageViewer.h"

#include <QMouseEvent>
#include <QPainter>

TImageViewer::TImageViewer(QWidget *AParent)
    : QWidget(AParent)
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImageViewer::SetImage(const QImage &AImage)
{
    FImage = AImage;
    FPan = {};
    update();
}

void TImageViewer::SetScale(qreal AValue)
{
    FScale = std::max(MinScale, AValue);
    update();
}

QRectF TImageViewer::ImageRect() const
{
    const QSizeF size = FImage.deviceIndependentSize() * FScale;
    const QPointF centre = QRectF(rect()).center() + FPan;
    return {centre - QPointF(size.width() / 2, size.height() / 2), size};
}

void TImageViewer::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (FImage.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(ImageRect(), FImage);
}

void TImageViewer::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    FDragging = true;
    FDragStart = e->position() - FPan;
}

void TImageViewer::mouseMoveEvent(QMouseEvent *e)
{
    if (!FDragging)
        return;
    FPan = e->position() - FDragStart;
    update();
}

void TImageViewer::mouseReleaseEvent(QMouseEvent *)
{
    FDragging = false;
}
