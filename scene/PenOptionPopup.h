#pragma once

#include "scene/CalloutPopup.h"

#include <QImage>
#include <array>

class QLabel;
class QWidget;
class TOptionFrame;

// The pen options popup (PopupPenOption), 366 × 301: below its callout a
// panel inset 5 pixels holds
// - the pen type: the heading image (52 × 20 at 10, 27), the pen frame
//   (btnDrawing_Pen, tag 1, at 17, 47) and the marker frame
//   (btnDrawing_Marker, tag 2, at 90, 47), 55 × 55 each with a 45 × 45 image,
//   a vertical separator between them;
// - a horizontal separator (14, 111, 330 wide), the thickness heading
//   (14, 123) and five thickness frames btnDrawing_PenWidth1..5 (tags 1 to 5,
//   46 × 37, at x = 14 + 71·k, y = 151) filled with their images;
// - the colour heading (14, 200) and nine 30 × 30 swatches (tags 1 to 9, at
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
        const char *Name;      // btnDrawing_PenSetting_Red
        const char *ColorText; // its fill colour, "#FFDB214C"
        const char *Word;      // "Red", as in the pen-option button's image names
    };
    // Left to right; tag = index + 1.
    static constexpr std::array<TSwatch, 9> Swatches = {{
        {"btnDrawing_PenSetting_White", "#FFFFFFFF", "White"},
        {"btnDrawing_PenSetting_Black", "#FF000000", "Black"},
        {"btnDrawing_PenSetting_Red", "#FFDB214C", "Red"},
        {"btnDrawing_PenSetting_Orange", "#FFDB5C21", "Orange"},
        {"btnDrawing_PenSetting_Yellow", "#FFEE940C", "Yellow"},
        {"btnDrawing_PenSetting_Green", "#FF42C734", "Green"},
        {"btnDrawing_PenSetting_LightBlue", "#FF216FDB", "LightBlue"},
        {"btnDrawing_PenSetting_Blue", "#FF233D9F", "Blue"},
        {"btnDrawing_PenSetting_Purple", "#FF962FCD", "Purple"},
    }};
    // The thickness of each width frame, left to right; tag = index + 1.
    static constexpr std::array<int, 5> Widths = {3, 5, 8, 10, 15};

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
    void PenTypeClicked(int ATag);
    void PenWidthClicked(int ATag);
    void PenColorClicked(const QString &AColorText);

private:
    QWidget *FPanel;
    QLabel *FPenTypeLabel, *FPenWidthLabel, *FPenColorLabel;
    TOptionFrame *FPen, *FMarker;
    std::array<TOptionFrame *, 5> FWidthFrames{};
    std::array<TOptionFrame *, 9> FSwatches{};
};
