// The placement arithmetic of the capture component on its own: zoom limits
// and rounding, the two fitting modes, centring, panning, selections in
// picture pixels, the bands a zoom-out uncovers and the rotated picture size.
// Plain values only: no widget, no camera, no pipeline.
#include "capture/component/PictureGeometry.h"

#include <gtest/gtest.h>
#include <limits>
#include <ostream>

// Printers for the failure messages (found by argument-dependent lookup).
inline std::ostream &operator<<(std::ostream &os, const TRect &r)
{
    return os << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}
inline std::ostream &operator<<(std::ostream &os, const TPoint &p)
{
    return os << "(" << p.X << ", " << p.Y << ")";
}

namespace {

// A 1600x1200 picture in a 1000x600 control, as the component tests have it.
const TPictureArea Area{{1000, 600}, {1600, 1200}};
constexpr float AnyMinZoom = 0.1f;

// A placement at `zoom` with the picture's corner at `at`.
TPictureGeometry PlacedAt(float zoom, TPoint at)
{
    TPictureGeometry g;
    g.SetZoom(zoom, AnyMinZoom, Area);
    g.SetPosition(at);
    return g;
}

TEST(PictureGeometry, ZoomWritesAreLimited)
{
    struct Case
    {
        float MinZoom, Written, Expected;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {0.1f, 0.05f, 0.1f},
        {0.1f, 12.0f, 10.0f},
        {0.1f, -1.0f, 0.1f},
        {0.1f, nan, 0.1f},
        {0.1f, 2.5f, 2.5f},
        {0.1f, 10.0f, 10.0f},
        {0.5f, 0.25f, 0.5f},
        {0.1f, 0.1f, 0.1f},
        // The upper limit is applied last: it wins over a minimum above it.
        {12.0f, 1.0f, 10.0f},
        {12.0f, nan, 10.0f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "MinZoom " << c.MinZoom << ", written " << c.Written);
        TPictureGeometry g;
        g.SetZoom(c.Written, c.MinZoom, Area);
        EXPECT_EQ(g.Zoom(), c.Expected);
    }
}

TEST(PictureGeometry, TheTwoFittingModes)
{
    struct Case
    {
        bool Wide;
        float Limit;
        TRect Placed; // after the fit
        TPoint Centred;
        TRect CentredPlaced;
    };
    const Case cases[] = {
        // 600 / 1200: the whole picture, centred across.
        {false, 0.5f, {100, 0, 900, 600}, {100, 0}, {100, 0, 900, 600}},
        // 1000 / 1600: it overflows vertically, around the centre of the
        // 4:3 fit before it. Centring works from the unscaled height (300 -
        // 600 = -300), but a picture at -300 would end 150 pixels above the
        // control's bottom edge: it moves down to -150.
        {true, 0.625f, {0, -75, 1000, 675}, {0, -150}, {0, -150, 1000, 600}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Wide ? "wide" : "4:3");
        TPictureGeometry g = PlacedAt(0.5f, {100, 0}); // at the 4:3 fit
        g.SetWideMode(c.Wide);
        EXPECT_EQ(g.WideMode(), c.Wide);
        const std::optional<float> limit = g.FitLimit(Area);
        ASSERT_TRUE(limit);
        EXPECT_EQ(*limit, c.Limit);
        g.SetZoom(-1.0f, *limit, Area);
        EXPECT_EQ(g.Zoom(), c.Limit);
        EXPECT_EQ(g.Place(Area), c.Placed);
        g.Centre(Area);
        EXPECT_EQ(g.Place(Area), c.CentredPlaced);
        EXPECT_EQ(g.Position(), c.Centred);
        // The fit is the lower limit now.
        g.SetZoom(c.Limit - 0.01f, *limit, Area);
        EXPECT_EQ(g.Zoom(), c.Limit);
    }
}

// A side of 0 (a control not laid out yet, or no picture) gives no limit: a
// zoom of 0 would make every selection a division by zero.
TEST(PictureGeometry, AnEmptySideGivesNoZoomLimit)
{
    struct Case
    {
        bool Wide;
        TPictureArea Area;
    };
    const Case cases[] = {
        {false, {{1000, 0}, {1600, 1200}}},
        {true, {{0, 600}, {1600, 1200}}},
        {false, {{1000, 600}, {0, 0}}},
        {true, {{1000, 600}, {0, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.Wide ? "wide " : "4:3 ") << c.Area.Control.width()
                                        << "x" << c.Area.Control.height());
        TPictureGeometry g;
        g.SetWideMode(c.Wide);
        EXPECT_FALSE(g.FitLimit(c.Area));
    }
    // The other side may be 0: it is not divided by.
    TPictureGeometry wide;
    wide.SetWideMode(true);
    EXPECT_EQ(wide.FitLimit({{1000, 0}, {1600, 1200}}), 0.625f);
}

TEST(PictureGeometry, FittingToTheControl)
{
    struct Case
    {
        const char *Name;
        std::optional<float> (*Fit)(const TPictureArea &);
        float Zoom;
        TRect Placed; // zoomed from 2 to the fit
    };
    const Case cases[] = {
        {"height", &TPictureGeometry::FitHeightZoom, 0.5f, {100, 0, 900, 600}},
        {"width", &TPictureGeometry::FitWidthZoom, 0.625f, {0, -75, 1000, 675}},
        {"screen", &TPictureGeometry::FitScreenZoom, 0.5f, {100, 0, 900, 600}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        const std::optional<float> zoom = c.Fit(Area);
        ASSERT_TRUE(zoom);
        EXPECT_EQ(*zoom, c.Zoom);
        TPictureGeometry g = PlacedAt(0.5f, {100, 0});
        g.SetZoom(2.0f, AnyMinZoom, Area);
        g.SetZoom(*zoom, AnyMinZoom, Area);
        EXPECT_EQ(g.Place(Area), c.Placed);
        // Without a picture there is nothing to fit.
        EXPECT_FALSE(c.Fit({{1000, 600}, {0, 0}}));
    }
    // The whole picture fits in a tall control by its width.
    EXPECT_EQ(TPictureGeometry::FitScreenZoom({{400, 900}, {1600, 1200}}), 0.25f);
}

TEST(PictureGeometry, CentringWorksFromTheUnscaledSize)
{
    struct Case
    {
        float Zoom;
        TPictureArea Area;
        TRect Placed;
    };
    const Case cases[] = {
        // At zoom 1 the picture is centred; at zoom 2 the same position
        // shows the picture's upper left part.
        {1.0f, Area, {-300, -300, 1300, 900}},
        {2.0f, Area, {-300, -300, 2900, 2100}},
        // Zoomed out below its own size, a picture that still overflows is
        // moved only as far as it takes to leave no gap.
        {0.625f, Area, {0, -150, 1000, 600}},
        // No picture: it sits at the control's centre.
        {2.0f, {{1000, 600}, {0, 0}}, {500, 300, 500, 300}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.Zoom);
        TPictureGeometry g = PlacedAt(c.Zoom, {0, 0});
        g.Centre(c.Area);
        EXPECT_EQ(g.Place(c.Area), c.Placed);
        EXPECT_EQ(g.Position(), (TPoint{c.Placed.Left, c.Placed.Top}));
    }
}

TEST(PictureGeometry, ZoomKeepsThePicturesCentre)
{
    struct Case
    {
        float From;
        TPoint At;
        float To;
        TRect Placed;
    };
    const Case cases[] = {
        // 1600 -> 1760 wide: X = -300 - 80; 1200 -> 1320 high: Y = -300 - 60.
        {1.0f, {-300, -300}, 1.1f, {-380, -360, 1380, 960}},
        // Zooming out at the left edge: the centre would leave a gap on the
        // left, so the picture stays at 0; a gap on the right is closed.
        {2.0f, {0, 0}, 1.0f, {0, 0, 1600, 1200}},
        {2.0f, {-2200, -1800}, 1.0f, {-600, -600, 1000, 600}},
        // A picture that fits is centred.
        {1.0f, {-300, -300}, 0.5f, {100, 0, 900, 600}},
        // Halves of the rounding go to the even neighbour: 1600 x 1.0078125
        // is 1612.5, which rounds to 1612 (1200 x 1.0078125 = 1209.375).
        {1.0f, {-300, -300}, 1.0078125f, {-306, -304, 1306, 905}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.From << " -> " << c.To);
        TPictureGeometry g = PlacedAt(c.From, c.At);
        g.SetZoom(c.To, AnyMinZoom, Area);
        EXPECT_EQ(g.Position(), (TPoint{c.Placed.Left, c.Placed.Top}));
        EXPECT_EQ(g.Place(Area), c.Placed);
    }
}

TEST(PictureGeometry, ZoomingOutUncoversBands)
{
    struct Case
    {
        const char *Name;
        float From;
        TPoint At;
        float To;
        TPictureArea Area;
        std::vector<TRect> Bands; // top, bottom, left, right; inside the control
    };
    const Case cases[] = {
        {"narrower", 1.0f, {-300, -300}, 0.6f, Area, {{0, 0, 20, 600}, {980, 0, 1000, 600}}},
        {"to the fit", 2.0f, {-1100, -900}, 0.5f, Area, {{0, 0, 100, 600}, {900, 0, 1000, 600}}},
        {"smaller on every side",
         1.0f,
         {-300, -300},
         0.3f,
         Area,
         {{0, 0, 1000, 120}, {0, 480, 1000, 600}, {0, 0, 260, 600}, {740, 0, 1000, 600}}},
        // Nothing is uncovered while the new picture still covers the control,
        {"still covering", 2.0f, {0, 0}, 1.0f, Area, {}},
        // when zooming in,
        {"zooming in", 0.5f, {100, 0}, 1.0f, Area, {}},
        // without a picture, or in a control of no size.
        {"no picture", 1.0f, {0, 0}, 0.5f, {{1000, 600}, {0, 0}}, {}},
        {"no control", 1.0f, {0, 0}, 0.5f, {{0, 600}, {1600, 1200}}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        TPictureGeometry g;
        g.SetZoom(c.From, AnyMinZoom, c.Area);
        g.SetPosition(c.At);
        EXPECT_EQ(g.SetZoom(c.To, AnyMinZoom, c.Area), c.Bands);
    }
}

TEST(PictureGeometry, TheWheelZoomsByFourHundredthsANotch)
{
    struct Case
    {
        float From;
        int Delta;
        float Expected;
    };
    const float fit = 0.5f;
    const Case cases[] = {
        {1.0f, 120, 1.04f},  {1.0f, -120, 0.96f},
        {1.0f, 240, 1.08f},  {1.0f, 60, 1.02f}, // half a notch (a fine wheel)
        {0.52f, -120, 0.5f},                    // not below the fit
        {9.98f, 120, 10.0f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.From << " by " << c.Delta);
        TPictureGeometry g;
        g.SetZoom(c.From, fit, Area);
        g.SetZoom(g.WheelZoom(c.Delta), fit, Area);
        EXPECT_EQ(g.Zoom(), c.Expected);
    }
}

TEST(PictureGeometry, PanningStopsAtTheEdges)
{
    struct Case
    {
        float Zoom;
        TPoint At, By;
        TPoint Expected;
        bool Moved;
    };
    const Case cases[] = {
        // At zoom 2 the picture is 3200 x 2400: it follows the mouse.
        {2.0f, {-100, -50}, {-50, -20}, {-150, -70}, true},
        {2.0f, {-100, -50}, {-890, -490}, {-990, -540}, true},
        // Its left and top edges never come right of or below the control's.
        {2.0f, {-100, -50}, {700, 300}, {0, 0}, true},
        {2.0f, {0, 0}, {10, 10}, {0, 0}, false},
        // Its right and bottom edges never come left of or above the control's.
        {2.0f, {-2000, -1700}, {-890, -490}, {-2200, -1800}, true},
        // At the 4:3 fit the picture is as high as the control and narrower:
        // centred across whatever the drag, and it cannot move up or down.
        {0.5f, {100, 0}, {300, 250}, {100, 0}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.Zoom << " at " << c.At << " by " << c.By);
        TPictureGeometry g = PlacedAt(c.Zoom, c.At);
        EXPECT_EQ(g.Pan(c.By, Area), c.Moved);
        EXPECT_EQ(g.Position(), c.Expected);
    }

    // Each step is limited on its own: steps back from an edge move at once.
    TPictureGeometry g = PlacedAt(2.0f, {-10, -10});
    g.Pan({50, 50}, Area);
    g.Pan({-20, -5}, Area);
    EXPECT_EQ(g.Position(), (TPoint{-20, -5}));
}

TEST(PictureGeometry, SelectionsAreInPicturePixels)
{
    struct Case
    {
        float Zoom;
        TPoint At, From, To;
        TRect Expected;
    };
    const Case cases[] = {
        // At zoom 2 (k = 1 / 2), dragged up and left: the rectangle is
        // normalised.
        {2.0f, {-100, -50}, {300, 200}, {200, 150}, {150, 100, 200, 125}},
        {2.0f, {-100, -50}, {300, 200}, {100, 100}, {100, 75, 200, 125}},
        {2.0f, {-100, -50}, {100, 100}, {300, 200}, {100, 75, 200, 125}},
        // A drag that starts beside the picture is measured from the
        // picture's corner all the same (at the fit it starts at x = 100).
        {0.5f, {100, 0}, {50, 100}, {300, 400}, {-100, 200, 400, 800}},
        // At k = 1 / 0.3 the corners and the sizes are rounded each.
        {0.3f, {260, 120}, {300, 200}, {400, 300}, {133, 267, 466, 600}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.Zoom << " " << c.From << " -> " << c.To);
        const TPictureGeometry g = PlacedAt(c.Zoom, c.At);
        EXPECT_EQ(g.Selection(c.From, c.To), c.Expected);
        EXPECT_EQ(g.ToPicturePixels({std::min(c.From.X, c.To.X), std::min(c.From.Y, c.To.Y),
                                     std::max(c.From.X, c.To.X), std::max(c.From.Y, c.To.Y)}),
                  c.Expected);
    }
}

TEST(PictureGeometry, SizesFollowTheRotationAndTheZoom)
{
    struct Case
    {
        TVideoRotationType Rotation;
        QSize Rotated;
    };
    TVCapMode mode;
    mode.Width = 1600;
    mode.Height = 1200;
    const Case cases[] = {{vrtNone, {1600, 1200}},     {vrt90, {1200, 1600}},
                          {vrt180, {1600, 1200}},      {vrt270, {1200, 1600}},
                          {vrtFlipHorz, {1600, 1200}}, {vrtFlipVert, {1600, 1200}}};
    for (const Case &c : cases)
        EXPECT_EQ(TPictureGeometry::RotatedSize(mode, c.Rotation), c.Rotated) << int(c.Rotation);
    EXPECT_EQ(TPictureGeometry::RotatedSize(TVCapMode{}, vrt90), QSize(0, 0));

    // Scaled sizes round halves to the even neighbour.
    const TPictureGeometry g = PlacedAt(1.0078125f, {0, 0});
    EXPECT_EQ(g.Scaled({1600, 1200}), QSize(1612, 1209));
    EXPECT_EQ(g.Scaled({192, 64}), QSize(194, 64));
}

} // namespace
