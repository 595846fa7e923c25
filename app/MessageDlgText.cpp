#include "app/MessageDlgText.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <cmath>

TMessageText::TMessageText(const QString &AText, QWidget *AParent)
    : QLabel(AText, AParent)
{
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int TMessageText::Layout(int AWidth, QPainter *APainter) const
{
    QString text = this->text();
    text.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(text, font());
    QTextOption option(QStyle::visualAlignment(layoutDirection(), alignment()));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const qreal width = qMax(1, AWidth - 2 * margin());
    const qreal leading = fontMetrics().leading();
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += leading;
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    if (APainter) {
        APainter->setPen(palette().color(foregroundRole()));
        layout.draw(APainter, QPointF(margin(), margin()));
    }
    return int(std::ceil(height)) + 2 * margin();
}

int TMessageText::heightForWidth(int AWidth) const
{
    return Layout(AWidth, nullptr);
}

QSize TMessageText::sizeHint() const
{
    // As wide as the longest paragraph, within the label's limits.
    int widest = 0;
    for (const QString &paragraph : text().split(u'\n'))
        widest = qMax(widest, fontMetrics().horizontalAdvance(paragraph));
    const int width = qBound(minimumWidth(), widest + 2 * margin() + 1, maximumWidth());
    return {width, heightForWidth(width)};
}

QSize TMessageText::minimumSizeHint() const
{
    const int width = qMax(minimumWidth(), 1);
    return {width, heightForWidth(width)};
}

void TMessageText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Layout(width(), &painter);
}
