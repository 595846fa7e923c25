#include "scene/ImageButton.h"

#include <QMouseEvent>
#include <QPainter>

TImageButton::TImageButton(QWidget *AParent)
    : QWidget(AParent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void TImageButton::SetImages(const QImage &ANormal, const QImage &APressed, const QImage &AHot)
{
    FNormal = ANormal;
    FPressed = APressed;
    FHot = AHot;
    update();
}

void TImageButton::SetIsPressed(bool AValue)
{
    if (FIsPressed == AValue)
        return;
    FIsPressed = AValue;
    update();
}

void TImageButton::SetButtonEnabled(bool AEnabled)
{
    FOpacity = AEnabled ? 1.0 : 0.5;
    setAttribute(Qt::WA_TransparentForMouseEvents, !AEnabled);
    setEnabled(AEnabled);
    if (!AEnabled)
        FHover = FMouseDown = false;
    update();
}

const QImage &TImageButton::CurrentImage() const
{
    if ((FMouseDown && FHover) || FIsPressed)
        return FPressed;
    if (FHover && isEnabled())
        return FHot;
    return FNormal;
}

void TImageButton::paintEvent(QPaintEvent *)
{
    const QImage &image = CurrentImage();
    if (image.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setOpacity(FOpacity);
    // The target is in logical pixels: a 2x image fills it at full density.
    p.drawImage(QRectF(rect()), image);
}

void TImageButton::enterEvent(QEnterEvent *)
{
    FHover = true;
    update();
}

void TImageButton::leaveEvent(QEvent *)
{
    FHover = false;
    update();
}

void TImageButton::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    if (e->button() != Qt::LeftButton)
        return;
    FMouseDown = true;
    FHover = true;
    update();
}

void TImageButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !FMouseDown)
        return;
    FMouseDown = false;
    const bool inside = rect().contains(e->position().toPoint());
    FHover = inside;
    update();
    if (!inside)
        return;
    if (FStaysPressed)
        SetIsPressed(!FIsPressed);
    emit Clicked(this);
}
