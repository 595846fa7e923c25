#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>

// Shows one image on a black background at a scale factor, centred while it
// fits and panned by dragging with the mouse otherwise. No scroll bars.
class TImageViewer : public QWidget
{
    Q_OBJECT
public:
    explicit TImageViewer(QWidget *AParent = nullptr);

    void SetImage(const QImage &AImage);
    const QImage &Image() const { return FImage; }
    // The scale, at least MinScale.
    qreal Scale() const { return FScale; }
    void SetScale(qreal AValue);
    static constexpr qreal MinScale = 0.1;
    // Offset of the image from its centred place, in pixels.
    QPointF Pan() const { return FPan; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QRectF ImageRect() const;

    QImage FImage;
    qreal FScale = 1.0;
    QPointF FPan;
    QPointF FDragStart;
    bool FDragging = false;
};
