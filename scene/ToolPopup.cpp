#include "scene/ToolPopup.h"

#include "scene/ImageButton.h"

#include <QPalette>

namespace {

const QColor SeparatorColor(0x98, 0x97, 0x9B);
// The first button's left edge in the popup; the row is centred.
constexpr int FirstButtonX = 20;
constexpr int SeparatorInset = 8; // the separator is shorter than the buttons

} // namespace

TToolPopup::TToolPopup(const QString &AName, const std::vector<TItem> &AItems, QWidget *AParent)
    : TCalloutPopup(AParent)
    , FItems(AItems)
{
    setObjectName(AName);
    const int count = int(FItems.size());
    resize(WidthFor(count), PopupHeight);
    // The buttons stand in the middle of the panel below the callout.
    const int top = (PopupHeight - CalloutLength() - ButtonSize) / 2;
    for (int k = 0; k < count; ++k) {
        auto *button = new TImageButton(Content());
        button->setObjectName(FItems[std::size_t(k)].Name);
        button->SetTag(FItems[std::size_t(k)].Tag);
        button->setCursor(Qt::PointingHandCursor);
        button->setGeometry(FirstButtonX + ButtonPitch * k, top, ButtonSize, ButtonSize);
        const TItem item = FItems[std::size_t(k)];
        connect(button, &TImageButton::Clicked, this, [this, item] {
            // The handler may open a popup or a message: this one goes first.
            close();
            emit ItemClicked(item.Tag, item.TagText);
        });
        FButtons.push_back(button);
        if (k == 0)
            continue;
        auto *line = new QWidget(Content());
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, SeparatorColor);
        line->setPalette(palette);
        const int x = FirstButtonX + ButtonPitch * k - (ButtonPitch - ButtonSize + 1) / 2;
        line->setGeometry(x, top + SeparatorInset, 1, ButtonSize - 2 * SeparatorInset);
    }
}

int TToolPopup::WidthFor(int ACount)
{
    return 2 * FirstButtonX - 1 + ButtonSize + ButtonPitch * std::max(0, ACount - 1);
}

void TToolPopup::SetButtonImages(int AIndex, const QImage &ANormal, const QImage &APressed,
                                 const QImage &AHot)
{
    Button(AIndex)->SetImages(ANormal, APressed, AHot);
}

void TToolPopup::Open(QWidget *AAnchor)
{
    PopupBelow(AAnchor, WidthFor(Count()), PopupHeight);
}

void TToolPopup::OpenAt(const QPoint &AGlobalPos)
{
    // An anchor of no size at the point: the callout's tip lands on it.
    QWidget anchor(nullptr, Qt::ToolTip);
    anchor.setGeometry(AGlobalPos.x(), AGlobalPos.y(), 0, 0);
    PopupBelow(&anchor, WidthFor(Count()), PopupHeight);
}
