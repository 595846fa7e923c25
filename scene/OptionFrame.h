#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

class QLabel;

// A clickable square of an option popup: a pen type, a thickness or a
// colour. It may be filled with a colour or a bitmap, hold an image in its
// middle, carry a thin border, and show a thick outline while it is the
// chosen one. A swatch also holds a check image that takes no mouse input
// and shows only on the chosen colour. Hand cursor; Clicked on a left-button
// release inside.
class TOptionFrame : public QWidget
{
    Q_OBJECT
public:
    explicit TOptionFrame(QWidget *AParent = nullptr);

    int Tag() const { return FTag; }
    void SetTag(int AValue) { FTag = AValue; }
    // The colour text a swatch stands for ("#FFDB214C").
    const QString &TagText() const { return FTagText; }
    void SetTagText(const QString &AValue) { FTagText = AValue; }

    // Fill: a colour (invalid: none) or a bitmap stretched over the frame.
    void SetFillColor(const QColor &AColor);
    QColor FillColor() const { return FFillColor; }
    void SetFillImage(const QImage &AImage);
    // An image of its own size, centred.
    void SetImage(const QImage &AImage, QSize ASize);
    // A border always drawn (thickness 0: none).
    void SetBorder(const QColor &AColor, int AThickness);
    // The outline of the chosen frame.
    void SetOutlineStyle(const QColor &AColor, int AThickness);
    void SetOutlined(bool AValue);
    bool Outlined() const { return FOutlined; }

    // The check image (created on first use), centred, ASize.
    void SetCheckImage(const QImage &AImage, QSize ASize);
    void SetChecked(bool AValue);
    bool Checked() const;

signals:
    void Clicked(TOptionFrame *Sender);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    int FTag = 0;
    QString FTagText;
    QColor FFillColor;
    QImage FFillImage;
    QImage FImage;
    QSize FImageSize;
    QColor FBorderColor;
    int FBorderThickness = 0;
    QColor FOutlineColor = QColor(0x98, 0x97, 0x9B);
    int FOutlineThickness = 3;
    bool FOutlined = false;
    bool FMouseDown = false;
    QLabel *FCheck = nullptr;
};
