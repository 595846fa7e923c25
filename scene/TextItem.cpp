#include "scene/TextItem.h"

#include <QFontMetrics>
#include <QPainter>

TTextItem::TTextItem(QWidget *AParent)
    : QWidget(AParent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TTextItem::SetText(const QString &AText)
{
    if (FText == AText)
        return;
    FText = AText;
    update();
}

void TTextItem::SetColor(const QColor &AColor)
{
    FColor = AColor;
    update();
}

void TTextItem::SetTextFont(const QFont &AFont)
{
    FFont = AFont;
    update();
}

void TTextItem::SetAlignment(Qt::Alignment AValue)
{
    FAlignment = AValue;
    update();
}

void TTextItem::paintEvent(QPaintEvent *)
{
    if (FText.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font = FFont;
    if (FShrinkToFit) {
        const int wide = QFontMetrics(font).horizontalAdvance(FText);
        if (wide > width() && wide > 0 && font.pixelSize() > 0)
            font.setPixelSize(std::max(6, font.pixelSize() * width() / wide));
    }
    p.setFont(font);
    p.setPen(FColor);
    p.drawText(rect(), int(FAlignment), FText);
}
