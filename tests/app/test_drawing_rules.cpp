// The drawing menu's rules that need no window: colour texts, the
// pen-option button's images, thicknesses, the rotation cycle, fitting.
#include "app/DrawingRules.h"
#include "app/FileNames.h"
#include "scene/PenOptionPopup.h"

#include <gtest/gtest.h>

namespace {

TEST(DrawingRules, PenColorTextIsTheToolkitsFormOfTheCanvasColour)
{
    struct Case
    {
        uint32_t Color;
        const char *Text;
    };
    const Case cases[] = {{0x00FFFFFF, "#FFFFFFFF"}, {0x00000000, "#FF000000"},
                          {0x004C21DB, "#FFDB214C"}, {0x00505522, "#FF225550"},
                          {0x1FFFFFFF, "#FFFFFFFF"}, {0x000000AB, "#FFAB0000"}};
    for (const Case &c : cases)
        EXPECT_EQ(PenColorText(c.Color), QLatin1String(c.Text)) << c.Text;
    // Every swatch reads back as its own text once it is the pen's colour.
    for (const auto &swatch : TPenOptionPopup::Swatches)
        EXPECT_EQ(PenColorText(HexToColor(QLatin1String(swatch.ColorText))),
                  QLatin1String(swatch.ColorText));
}

TEST(DrawingRules, PenOptionImagesFollowFamilyAndSwatch)
{
    struct Case
    {
        TCustomPenType Type;
        const char *Color;
        const char *Base;
    };
    const Case cases[] = {
        {cptPen, "#FFDB214C", "RES_DRAWING_MENU_PEN_Red_"},
        {cptMarker, "#FFDB214C", "RES_DRAWING_MENU_MARKER_Red_"},
        {cptPen, "#FFFFFFFF", "RES_DRAWING_MENU_PEN_White_"},
        {cptMarker, "#FF216FDB", "RES_DRAWING_MENU_MARKER_LightBlue_"},
        {cptPen, "#FF962FCD", "RES_DRAWING_MENU_PEN_Purple_"},
        {cptMove, "#FFDB214C", ""},
        {cptPen, "#FF123456", ""},
        {cptPen, "#ffdb214c", ""}, // the comparison is exact
    };
    for (const Case &c : cases)
        EXPECT_EQ(PenOptionImageBase(c.Type, QLatin1String(c.Color)), QLatin1String(c.Base))
            << c.Color;
}

TEST(DrawingRules, WidthFramesAndThicknesses)
{
    using enum TPenWidthItem;
    const std::pair<TPenWidthItem, int> frames[] = {
        {PenWidth1, 3}, {PenWidth2, 5}, {PenWidth3, 8}, {PenWidth4, 10}, {PenWidth5, 15}};
    for (int k = 0; k < 5; ++k) {
        const auto [item, width] = frames[k];
        EXPECT_EQ(PenWidthOf(item), width);
        EXPECT_EQ(WidthFrameIndex(width), k);
    }
    // A frame's integer tag outside the popup's gives no thickness.
    for (int tag : {0, 6, -1})
        EXPECT_EQ(PenWidthOf(TPenWidthItem(tag)), 0) << tag;
    for (int value : {0, 4, 16, 255})
        EXPECT_EQ(WidthFrameIndex(value), -1) << value;
}

TEST(DrawingRules, RotationCyclesByQuarterTurns)
{
    EXPECT_EQ(NextRotationAngle(0), 90);
    EXPECT_EQ(NextRotationAngle(90), 180);
    EXPECT_EQ(NextRotationAngle(180), 270);
    EXPECT_EQ(NextRotationAngle(270), 0);
}

TEST(DrawingRules, LoadedPicturesShrinkToFitAndNeverGrow)
{
    struct Case
    {
        QSize Picture, Bounds, Fitted;
    };
    const Case cases[] = {
        {{1600, 1000}, {800, 600}, {800, 500}}, {{1000, 2000}, {800, 600}, {300, 600}},
        {{800, 600}, {800, 600}, {800, 600}},   {{200, 100}, {800, 600}, {200, 100}},
        {{5000, 1}, {800, 600}, {800, 1}},      {{300, 200}, {0, 0}, {300, 200}}};
    for (const Case &c : cases)
        EXPECT_EQ(FittedPictureSize(c.Picture, c.Bounds), c.Fitted) << c.Picture.width();
}

} // namespace
