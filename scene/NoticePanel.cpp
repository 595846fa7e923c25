#include "scene/NoticePanel.h"

#include "scene/TextItem.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int PaddingX = 28, PaddingY = 14;
}

TNoticePanel::TNoticePanel(QWidget *AParent)
    : QWidget(AParent)
    , FText(new TTextItem(this))
{
    QFont font = FText->TextFont();
    font.setPixelSize(20);
    font.setBold(true);
    FText->SetTextFont(font);
    FText->SetAlignment(Qt::AlignCenter);
    SetText(QString());
}

void TNoticePanel::SetText(const QString &AText)
{
    FText->SetText(AText);
    const QFontMetrics metrics(FText->TextFont());
    const QSize text(std::max(metrics.horizontalAdvance(AText), 120), metrics.height());
    resize(text.width() + 2 * PaddingX, text.height() + 2 * PaddingY);
    FText->setGeometry(PaddingX, PaddingY, text.width(), text.height());
}

QString TNoticePanel::Text() const
{
    return FText->Text();
}

void TNoticePanel::CentreInParent()
{
    if (const QWidget *parent = parentWidget())
        move(parent->width() / 2 - width() / 2, parent->height() / 2 - height() / 2);
    raise();
}

void TNoticePanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(QColor(20, 22, 26, 215));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}
