#pragma once

#include <QImage>
#include <QWidget>

// A button drawn from three images: normal, hot (the mouse is over it) and
// pressed. It sends Clicked on a left-button release inside it. A button that
// stays pressed toggles its pressed state on each click; any button can have
// its pressed state set from outside.
//
// Disabled (SetButtonEnabled(false)), it is drawn at half opacity and takes no
// mouse input at all: clicks and hover pass through to what lies below.
class TImageButton : public QWidget
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

    int Tag() const { return FTag; }
    void SetTag(int AValue) { FTag = AValue; }

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

signals:
    void Clicked(TImageButton *Sender);

protected:
    void paintEvent(QPaintEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QImage FNormal, FPressed, FHot;
    int FTag = 0;
    bool FStaysPressed = false;
    bool FIsPressed = false;
    bool FHover = false;
    bool FMouseDown = false;
    qreal FOpacity = 1.0;
};
