#pragma once

#include "scene/SceneButton.h"

#include <QImage>

// A button drawn from three images: normal, hot (the mouse is over it) and
// pressed. A button that stays pressed toggles its pressed state on each
// click; any button can have its pressed state set from outside.
//
// Disabled (SetButtonEnabled(false)), it is drawn at half opacity and takes no
// mouse input at all: clicks and hover pass through to what lies below.
class TImageButton : public TSceneButton
{
    Q_OBJECT
public:
    explicit TImageButton(QWidget *AParent = nullptr);

    // Replaces the three images. Images of any density paint at the button's
    // logical size.
    void SetImages(const QImage &ANormal, const QImage &APressed, const QImage &AHot);
    const QImage &NormalImage() const { return FNormal; }
    const QImage &PressedImage() const { return FPressed; }
    const QImage &HotImage() const { return FHot; }

    bool StaysPressed() const { return FStaysPressed; }
    void SetStaysPressed(bool AValue) { FStaysPressed = AValue; }
    bool IsPressed() const { return FIsPressed; }
    void SetIsPressed(bool AValue);

    // Opacity 1.0 and mouse input when enabled, 0.5 and none when disabled.
    void SetButtonEnabled(bool AEnabled);
    qreal Opacity() const { return FOpacity; }
    bool HitTest() const { return !testAttribute(Qt::WA_TransparentForMouseEvents); }

    // The image painted now.
    const QImage &CurrentImage() const;

protected:
    void Click() override;
    void paintEvent(QPaintEvent *e) override;

private:
    QImage FNormal, FPressed, FHot;
    bool FStaysPressed = false;
    bool FIsPressed = false;
    qreal FOpacity = 1.0;
};
