#include "scene/OptionFrame.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

TOptionFrame::TOptionFrame(QWidget *AParent)
    : QWidget(AParent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TOptionFrame::SetFillColor(const QColor &AColor)
{
    FFillColor = AColor;
    update();
}

void TOptionFrame::SetFillImage(const QImage &AImage)
{
    FFillImage = AImage;
    update();
}

void TOptionFrame::SetImage(const QImage &AImage, QSize ASize)
{
    FImage = AImage;
    FImageSize = ASize;
    update();
}

void TOptionFrame::SetBorder(const QColor &AColor, int AThickness)
{
    FBorderColor = AColor;
    FBorderThickness = AThickness;
    update();
}

void TOptionFrame::SetOutlineStyle(const QColor &AColor, int AThickness)
{
    FOutlineColor = AColor;
    FOutlineThickness = AThickness;
    update();
}

void TOptionFrame::SetOutlined(bool AValue)
{
    if (FOutlined == AValue)
        return;
    FOutlined = AValue;
    update();
}

void TOptionFrame::SetCheckImage(const QImage &AImage, QSize ASize)
{
    if (!FCheck) {
        FCheck = new QLabel(this);
        FCheck->setAttribute(Qt::WA_TransparentForMouseEvents);
        FCheck->setScaledContents(true);
        FCheck->hide();
    }
    FCheck->setPixmap(QPixmap::fromImage(AImage));
    FCheck->setGeometry((width() - ASize.width()) / 2, (height() - ASize.height()) / 2,
                        ASize.width(), ASize.height());
}

void TOptionFrame::SetChecked(bool AValue)
{
    if (FCheck)
        FCheck->setVisible(AValue);
}

bool TOptionFrame::Checked() const
{
    return FCheck && !FCheck->isHidden();
}

void TOptionFrame::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (FFillColor.isValid())
        p.fillRect(rect(), FFillColor);
    if (!FFillImage.isNull())
        p.drawImage(QRectF(rect()), FFillImage);
    if (!FImage.isNull()) {
        const QRect target((width() - FImageSize.width()) / 2, (height() - FImageSize.height()) / 2,
                           FImageSize.width(), FImageSize.height());
        p.drawImage(QRectF(target), FImage);
    }
    const auto frame = [&](const QColor &AColor, int AThickness) {
        // The line lies inside the frame, so the outline is never clipped.
        const qreal half = AThickness / 2.0;
        p.setPen(QPen(AColor, AThickness));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
    };
    if (FBorderThickness > 0)
        frame(FBorderColor, FBorderThickness);
    if (FOutlined && FOutlineThickness > 0)
        frame(FOutlineColor, FOutlineThickness);
}

void TOptionFrame::mousePressEvent(QMouseEvent *e)
{
    e->accept();
    FMouseDown = e->button() == Qt::LeftButton;
}

void TOptionFrame::mouseReleaseEvent(QMouseEvent *e)
{
    e->accept();
    const bool click =
        FMouseDown && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    FMouseDown = false;
    if (click)
        emit Clicked(this);
}
