#include "scene/ResolutionPopup.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor CurrentColor(0x4d, 0x4c, 0x53);
const QColor OtherColor(0x8e, 0x8e, 0x8e);
const QColor SeparatorColor(0x98, 0x97, 0x9b);
const QString Label = QStringLiteral("MJPG");

constexpr int LinePitch = TResolutionPopup::ItemHeight + TResolutionPopup::SeparatorHeight;

} // namespace

TResolutionPopup::TResolutionPopup(QWidget *AParent)
    : TCalloutPopup(AParent)
{
    // Lines are drawn and hit-tested by the popup itself.
    Content()->setAttribute(Qt::WA_TransparentForMouseEvents);
    setMouseTracking(true);
    setObjectName(QStringLiteral("PopupResolution"));
}

int TResolutionPopup::HeightFor(int ACount)
{
    const int lines = ACount > 0 ? ACount * LinePitch + LabelHeight : 0;
    return lines + ExtraHeight;
}

void TResolutionPopup::Open(QWidget *AAnchor, std::vector<TItem> AItems,
                            std::function<void(const QString &)> AOnChoose)
{
    FItems = std::move(AItems);
    FOnChoose = std::move(AOnChoose);
    PopupBelow(AAnchor, PopupWidth, HeightFor(int(FItems.size())));
}

QRect TResolutionPopup::ItemRect(int AIndex) const
{
    return QRect(0, ItemsTop + AIndex * LinePitch, width(), ItemHeight);
}

int TResolutionPopup::ItemAt(const QPoint &APos) const
{
    for (int i = 0; i < int(FItems.size()); ++i)
        if (ItemRect(i).contains(APos))
            return i;
    return -1;
}

void TResolutionPopup::paintEvent(QPaintEvent *e)
{
    TCalloutPopup::paintEvent(e);
    if (FItems.empty())
        return;
    QPainter p(this);
    QFont regular = font();
    regular.setBold(false);
    QFont bold = font();
    bold.setBold(true);
    const int textWidth = width() - 2 * TextInset;
    for (int i = 0; i < int(FItems.size()); ++i) {
        const TItem &item = FItems[std::size_t(i)];
        const QRect line = ItemRect(i);
        p.setFont(item.Current ? bold : regular);
        p.setPen(item.Current ? CurrentColor : OtherColor);
        p.drawText(QRect(TextInset, line.top(), textWidth, ItemHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, item.Text);
        p.fillRect(QRect(TextInset, line.bottom() + 1, textWidth, SeparatorHeight), SeparatorColor);
    }
    p.setFont(bold);
    p.setPen(CurrentColor);
    p.drawText(QRect(TextInset, ItemsTop + int(FItems.size()) * LinePitch, textWidth, LabelHeight),
               Qt::AlignLeft | Qt::AlignVCenter, Label);
}

void TResolutionPopup::mouseMoveEvent(QMouseEvent *e)
{
    setCursor(ItemAt(e->position().toPoint()) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    TCalloutPopup::mouseMoveEvent(e);
}

void TResolutionPopup::mouseReleaseEvent(QMouseEvent *e)
{
    const int index = ItemAt(e->position().toPoint());
    if (e->button() != Qt::LeftButton || index < 0) {
        TCalloutPopup::mouseReleaseEvent(e);
        return;
    }
    const QString data = FItems[std::size_t(index)].Data;
    // The callback may open the popup again or show a modal message: the
    // popup is closed and its callback moved out first.
    auto choose = FOnChoose;
    close();
    if (choose)
        choose(data);
}
