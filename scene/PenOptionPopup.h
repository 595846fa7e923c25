#pragma once

#include "scene/CalloutPopup.h"

#include <QImage>
#include <array>

class QLabel;
class QWidget;
class TOptionFrame;

// The popup's items as typed values; each frame carries its value as its tag.
enum class TPenTypeItem
{
    Pen = 1,
    Marker = 2,
};
enum class TPenWidthItem
{
    PenWidth1 = 1,
    PenWidth2 = 2,
    PenWidth3 = 3,
    PenWidth4 = 4,
    PenWidth5 = 5,
};
enum class TPenColorItem
{
    White = 1,
    Black = 2,
    Red = 3,
    Orange = 4,
    Yellow = 5,
    Green = 6,
    LightBlue = 7,
    Blue = 8,
    Purple = 9,
};

// The pen options popup (PopupPenOption), 366 × 301: below its callout a
// panel inset 5 pixels holds
// - the pen type: the heading image (52 × 20 at 10, 27), the pen frame
//   (btnDrawing_Pen, TPenTypeItem::Pen, at 17, 47) and the marker frame
//   (btnDrawing_Marker, TPenTypeItem::Marker, at 90, 47), 55 × 55 each with
//   a 45 × 45 image, a vertical separator between them;
// - a horizontal separator (14, 111, 330 wide), the thickness heading
//   (14, 123) and five thickness frames btnDrawing_PenWidth1..5
//   (TPenWidthItem, 46 × 37, at x = 14 + 71·k, y = 151) filled with their
//   images;
// - the colour heading (14, 200) and nine 30 × 30 swatches (TPenColorItem, at
//   x = 17 + 37·k, y = 230) in their colours with a "#FFBFBFBF" border, each
//   holding a 25 × 19 check image shown only on the chosen colour.
// The chosen type and thickness frames carry a "#FF98979B" outline 3 pixels
// thick. All frames have the hand cursor. Positions are in the panel.
class TPenOptionPopup : public TCalloutPopup
{
    Q_OBJECT
public:
    static constexpr int PopupWidth = 366;
    static constexpr int PopupHeight = 301;
    static constexpr int PanelInset = 5;
    static constexpr int WidthFrameX = 14, WidthFramePitch = 71, WidthFrameY = 151;
    static constexpr int SwatchX = 17, SwatchPitch = 37, SwatchY = 230;

    struct TSwatch
    {
        TPenColorItem Item;
        const char *Name;      // btnDrawing_PenSetting_Red
        const char *ColorText; // its fill colour, "#FFDB214C"
        const char *Word;      // "Red", as in the pen-option button's image names
    };
    // Left to right.
    static constexpr std::array<TSwatch, 9> Swatches = {{
        {TPenColorItem::White, "btnDrawing_PenSetting_White", "#FFFFFFFF", "White"},
        {TPenColorItem::Black, "btnDrawing_PenSetting_Black", "#FF000000", "Black"},
        {TPenColorItem::Red, "btnDrawing_PenSetting_Red", "#FFDB214C", "Red"},
        {TPenColorItem::Orange, "btnDrawing_PenSetting_Orange", "#FFDB5C21", "Orange"},
        {TPenColorItem::Yellow, "btnDrawing_PenSetting_Yellow", "#FFEE940C", "Yellow"},
        {TPenColorItem::Green, "btnDrawing_PenSetting_Green", "#FF42C734", "Green"},
        {TPenColorItem::LightBlue, "btnDrawing_PenSetting_LightBlue", "#FF216FDB", "LightBlue"},
        {TPenColorItem::Blue, "btnDrawing_PenSetting_Blue", "#FF233D9F", "Blue"},
        {TPenColorItem::Purple, "btnDrawing_PenSetting_Purple", "#FF962FCD", "Purple"},
    }};
    struct TWidthFrame
    {
        TPenWidthItem Item; // btnDrawing_PenWidth1 ... 5
        int Thickness;      // in pixels
    };
    // Left to right.
    static constexpr std::array<TWidthFrame, 5> Widths = {{
        {TPenWidthItem::PenWidth1, 3},
        {TPenWidthItem::PenWidth2, 5},
        {TPenWidthItem::PenWidth3, 8},
        {TPenWidthItem::PenWidth4, 10},
        {TPenWidthItem::PenWidth5, 15},
    }};

    // The images the popup shows (from the skin).
    struct TImages
    {
        QImage PenTypeLabel, PenWidthLabel, PenColorLabel;
        QImage Pen, Marker;
        std::array<QImage, 5> Thickness;
        QImage Check;
    };

    explicit TPenOptionPopup(QWidget *AParent = nullptr);

    void SetImages(const TImages &AImages);
    // Opens below AAnchor, centred on it.
    void Open(QWidget *AAnchor);

    // Outlines of the two type frames.
    void SetTypeOutlines(bool APen, bool AMarker);
    // Outlines the width frame AIndex (0 to 4); any other index outlines none.
    void SetWidthOutline(int AIndex);
    // Shows the check on every swatch whose colour text equals AColorText
    // exactly (case counts), hides it on the others.
    void SetCheckedColor(const QString &AColorText);

    TOptionFrame *PenFrame() const { return FPen; }
    TOptionFrame *MarkerFrame() const { return FMarker; }
    TOptionFrame *WidthFrame(int AIndex) const { return FWidthFrames.at(std::size_t(AIndex)); }
    TOptionFrame *Swatch(int AIndex) const { return FSwatches.at(std::size_t(AIndex)); }
    // The panel that the positions above refer to.
    QWidget *Panel() const { return FPanel; }

signals:
    void PenTypeClicked(TPenTypeItem AItem);
    void PenWidthClicked(TPenWidthItem AItem);
    void PenColorClicked(const QString &AColorText);

private:
    QWidget *FPanel;
    QLabel *FPenTypeLabel, *FPenWidthLabel, *FPenColorLabel;
    TOptionFrame *FPen, *FMarker;
    std::array<TOptionFrame *, 5> FWidthFrames{};
    std::array<TOptionFrame *, 9> FSwatches{};
};
