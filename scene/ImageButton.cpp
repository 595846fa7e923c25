#include "scene/ImageButton.h"

#include <QPainter>

TImageButton::TImageButton(QWidget *AParent)
    : TSceneButton(AParent)
{}

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
        ResetMouse();
    update();
}

const QImage &TImageButton::CurrentImage() const
{
    if ((Down() && Hover()) || FIsPressed)
        return FPressed;
    if (Hover() && isEnabled())
        return FHot;
    return FNormal;
}

void TImageButton::Click()
{
    if (FStaysPressed)
        SetIsPressed(!FIsPressed);
    TSceneButton::Click();
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
