#pragma once

#include "scene/CalloutPopup.h"

#include <QString>
#include <functional>
#include <vector>

class QMouseEvent;

// The callout popup that lists capture sizes: 123 wide, below and centred on
// the button it opens from, its callout inside its top ItemsTop pixels. Each
// line (20 high, text inset 20 on both sides) is followed by a one-pixel grey
// separator, so line k spans ItemsTop + 21·k to ItemsTop + 21·k + 20 below the
// popup's top; the current line is bold and dark, the others regular grey.
// After the lines comes the bold label "MJPG" (23 high); with no lines there
// is no label. The popup is 21·n + 53 high with n lines, 30 with none.
class TResolutionPopup : public TCalloutPopup
{
    Q_OBJECT
public:
    struct TItem
    {
        QString Text;         // what the line shows
        QString Data;         // handed to the choice callback
        bool Current = false; // bold and dark
    };

    static constexpr int PopupWidth = 123;
    static constexpr int ItemsTop = 15;
    static constexpr int ItemHeight = 20;
    static constexpr int SeparatorHeight = 1;
    static constexpr int LabelHeight = 23;
    static constexpr int ExtraHeight = 30; // the popup's height beyond its lines and label
    static constexpr int TextInset = 20;

    explicit TResolutionPopup(QWidget *AParent = nullptr);

    // The height of the popup with ACount lines.
    static int HeightFor(int ACount);

    // Fills the popup and opens it below AAnchor. A click on a line closes
    // the popup, then calls AOnChoose with the line's Data.
    void Open(QWidget *AAnchor, std::vector<TItem> AItems,
              std::function<void(const QString &AData)> AOnChoose);

    const std::vector<TItem> &Items() const { return FItems; }
    // Line AIndex in the popup's coordinates.
    QRect ItemRect(int AIndex) const;

protected:
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    int ItemAt(const QPoint &APos) const;

    std::vector<TItem> FItems;
    std::function<void(const QString &)> FOnChoose;
};
