#include "scene/CalloutPopup.h"

#include <QBitmap>
#include <QPainter>
#include <QScreen>

TCalloutPopup::TCalloutPopup(QWidget *AParent)
    : QFrame(AParent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
    , FContent(new QWidget(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TCalloutPopup::SetCallout(int AWidth, int ALength)
{
    FCalloutWidth = AWidth;
    FCalloutLength = ALength;
    resizeEvent(nullptr);
    UpdateMask();
    update();
}

void TCalloutPopup::PopupBelow(QWidget *AAnchor, int AWidth, int AHeight)
{
    resize(AWidth, AHeight);
    const QPoint below = AAnchor->mapToGlobal(QPoint(AAnchor->width() / 2, AAnchor->height()));
    QRect r(below.x() - AWidth / 2, below.y(), AWidth, AHeight);
    if (const QScreen *screen = AAnchor->screen()) {
        const QRect area = screen->availableGeometry();
        r.moveLeft(std::clamp(r.left(), area.left(), std::max(area.left(), area.right() - AWidth)));
    }
    FCalloutX = below.x() - r.left();
    setGeometry(r);
    UpdateMask();
    show();
    update();
}

void TCalloutPopup::resizeEvent(QResizeEvent *)
{
    FContent->setGeometry(0, FCalloutLength, width(), std::max(0, height() - FCalloutLength));
    if (FCalloutX <= 0 || FCalloutX >= width())
        FCalloutX = width() / 2;
    UpdateMask();
}

void TCalloutPopup::hideEvent(QHideEvent *e)
{
    QFrame::hideEvent(e);
    emit Closed();
}

QPainterPath TCalloutPopup::Shape() const
{
    const QRectF body(0.5, FCalloutLength + 0.5, width() - 1, height() - FCalloutLength - 1);
    QPainterPath shape;
    shape.addRoundedRect(body, 6, 6);
    QPainterPath callout;
    const qreal half = FCalloutWidth / 2.0;
    callout.moveTo(FCalloutX - half, FCalloutLength + 1);
    callout.lineTo(FCalloutX, 0.5);
    callout.lineTo(FCalloutX + half, FCalloutLength + 1);
    callout.closeSubpath();
    return shape.united(callout);
}

void TCalloutPopup::UpdateMask()
{
    if (width() <= 0 || height() <= 0)
        return;
    // Every pixel the outline or its fill touches stays; the rest is cut away.
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter p(&mask);
    p.setPen(QPen(Qt::color1, 1));
    p.setBrush(Qt::color1);
    p.drawPath(Shape());
    p.end();
    setMask(mask);
}

void TCalloutPopup::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xB4, 0xB8, 0xC0), 1));
    p.setBrush(QColor(0xFA, 0xFA, 0xFB));
    p.drawPath(Shape());
}
