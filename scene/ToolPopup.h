#pragma once

#include "scene/CalloutPopup.h"

#include <QImage>
#include <QString>
#include <vector>

class TImageButton;

// A callout popup holding one row of 55 × 55 image buttons with a vertical
// separator between neighbours: the eraser popup (two buttons, 170 × 107),
// the shape and board popups (three, 246 × 107). The buttons have the hand
// cursor; a click closes the popup and then reports the button's tag and
// tag text.
class TToolPopup : public TCalloutPopup
{
    Q_OBJECT
public:
    static constexpr int PopupHeight = 107;
    static constexpr int ButtonSize = 55;
    // Distance from one button's left edge to the next one's.
    static constexpr int ButtonPitch = 76;

    struct TItem
    {
        QString Name;    // btnDrawing_ShapeTool_Line
        int Tag = 0;     // 1, 2, ...
        QString TagText; // a board's colour, "#FF225550"
    };

    TToolPopup(const QString &AName, const std::vector<TItem> &AItems, QWidget *AParent = nullptr);

    // The popup's width for ACount buttons: 170 for two, 246 for three.
    static int WidthFor(int ACount);

    // The normal, pressed and hot images of button AIndex.
    void SetButtonImages(int AIndex, const QImage &ANormal, const QImage &APressed,
                         const QImage &AHot);
    // Opens below AAnchor, centred on it.
    void Open(QWidget *AAnchor);
    // Opens with the callout's tip at AGlobalPos.
    void OpenAt(const QPoint &AGlobalPos);

    int Count() const { return int(FButtons.size()); }
    TImageButton *Button(int AIndex) const { return FButtons.at(std::size_t(AIndex)); }

signals:
    void ItemClicked(int ATag, const QString &ATagText);

private:
    std::vector<TItem> FItems;
    std::vector<TImageButton *> FButtons;
};
