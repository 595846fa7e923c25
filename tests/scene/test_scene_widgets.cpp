// The scene widgets on their own: path data, image buttons (states, the
// disabled look and pass-through, density), tabs that overlap, the callout
// popup's place and the image viewer's panning.
#include "scene/CalloutPopup.h"
#include "scene/ImageButton.h"
#include "scene/ImageViewer.h"
#include "scene/PathData.h"
#include "scene/TabButton.h"

#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QImage Filled(QSize ASize, QColor AColor)
{
    QImage image(ASize, QImage::Format_ARGB32_Premultiplied);
    image.fill(AColor);
    return image;
}

struct TPathCase
{
    const char *Name;
    const char *Data;
    QRectF Bounds;
    int Elements;
};

void PrintTo(const TPathCase &ACase, std::ostream *AOut)
{
    *AOut << ACase.Name;
}

class PathData : public ::testing::TestWithParam<TPathCase>
{};

TEST_P(PathData, ReadsMovesLinesAndCloses)
{
    const QPainterPath path = PathFromData(QString::fromLatin1(GetParam().Data));
    EXPECT_EQ(path.boundingRect(), GetParam().Bounds);
    EXPECT_EQ(path.elementCount(), GetParam().Elements);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathData,
    ::testing::Values(TPathCase{"Square", "M 0,0 L 10,0 L 10,5 L 0,5 Z", {0, 0, 10, 5}, 5},
                      TPathCase{"LetterAfterNumber", "M 1,2 L 3,2L 3,4 Z", {1, 2, 2, 2}, 4},
                      TPathCase{"BlanksNotCommas", "M1 2 L5 6", {1, 2, 4, 4}, 2},
                      TPathCase{"StopsAtBadNumber", "M 0,0 L 4,4 L x,9", {0, 0, 4, 4}, 2},
                      TPathCase{"StopsAtUnknownCommand", "M 0,0 L 2,2 C 9,9", {0, 0, 2, 2}, 2}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST(PathData, StretchFillsTheBoxExactly)
{
    const QPainterPath path = PathFromData(QStringLiteral(
        "M 348.319,356.426 L 291.667,356.426 L 291.667,342.676 L 348.319,342.676 Z"));
    const QRectF box(9, 15, 13, 5);
    const QRectF got = StretchPath(path, box).boundingRect();
    EXPECT_NEAR(got.left(), box.left(), 1e-9);
    EXPECT_NEAR(got.top(), box.top(), 1e-9);
    EXPECT_NEAR(got.width(), box.width(), 1e-9);
    EXPECT_NEAR(got.height(), box.height(), 1e-9);
}

// Renders AWidget onto a transparent image and returns the centre pixel.
QColor CentrePixel(QWidget &AWidget)
{
    QImage target(AWidget.size(), QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    AWidget.render(&target, {}, {}, QWidget::DrawChildren);
    return target.pixelColor(target.width() / 2, target.height() / 2);
}

TEST(ImageButton, ShowsNormalHotAndPressedAndToggles)
{
    QWidget window;
    window.resize(200, 100);
    TImageButton button(&window);
    button.setGeometry(10, 10, 55, 55);
    button.SetImages(Filled({55, 55}, Qt::red), Filled({55, 55}, Qt::blue),
                     Filled({55, 55}, Qt::green));
    window.show();
    QSignalSpy clicked(&button, &TImageButton::Clicked);
    EXPECT_EQ(&button.CurrentImage(), &button.NormalImage());
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QCoreApplication::sendEvent(&button, &enter);
    EXPECT_EQ(&button.CurrentImage(), &button.HotImage());

    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(button.IsPressed()); // springs back
    button.SetStaysPressed(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_TRUE(button.IsPressed());
    EXPECT_EQ(&button.CurrentImage(), &button.PressedImage());
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(button.IsPressed());
    EXPECT_EQ(clicked.count(), 3);
}

TEST(ImageButton, DisabledIsHalfOpaqueAndLetsTheMouseThrough)
{
    QWidget window;
    window.resize(200, 100);
    TImageButton below(&window), button(&window);
    below.setGeometry(10, 10, 55, 55);
    button.setGeometry(10, 10, 55, 55);
    for (TImageButton *b : {&below, &button})
        b->SetImages(Filled({55, 55}, Qt::red), Filled({55, 55}, Qt::red),
                     Filled({55, 55}, Qt::red));
    window.show();
    QSignalSpy top(&button, &TImageButton::Clicked), under(&below, &TImageButton::Clicked);

    button.SetButtonEnabled(false);
    EXPECT_EQ(button.Opacity(), 0.5);
    EXPECT_FALSE(button.HitTest());
    EXPECT_TRUE(button.isVisible());
    EXPECT_NEAR(CentrePixel(button).alpha(), 128, 2);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(top.count(), 0);
    EXPECT_EQ(under.count(), 1);

    button.SetButtonEnabled(true);
    EXPECT_EQ(CentrePixel(button).alpha(), 255);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(top.count(), 1);
    EXPECT_EQ(under.count(), 1);
}

TEST(ImageButton, ATwiceDenseImagePaintsEveryPixelOnADenseScreen)
{
    // A one-pixel checkerboard at twice the density: drawn at a device pixel
    // ratio of 2 it must come out pixel for pixel, not blurred.
    QImage dense(110, 110, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 110; ++y)
        for (int x = 0; x < 110; ++x)
            dense.setPixelColor(x, y, (x + y) % 2 ? Qt::black : Qt::white);
    dense.setDevicePixelRatio(2);
    TImageButton button;
    button.resize(55, 55);
    button.SetImages(dense, dense, dense);
    QImage target(110, 110, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(2);
    target.fill(Qt::transparent);
    button.render(&target);
    target.setDevicePixelRatio(1);
    dense.setDevicePixelRatio(1);
    EXPECT_EQ(target, dense);
}

TEST(TabButton, TheTabInFrontTakesTheOverlap)
{
    QWidget bar;
    bar.resize(200, 20);
    TTabButton first(&bar), second(&bar);
    first.setGeometry(1, 0, 80, 20);
    second.setGeometry(75, 0, 80, 20);
    first.SetTag(1);
    second.SetTag(2);
    bar.show();
    std::vector<int> tags;
    for (TTabButton *t : {&first, &second})
        QObject::connect(t, &TTabButton::Clicked,
                         [&](TSceneButton *s) { tags.push_back(s->Tag()); });
    const QPoint overlap(78, 10);
    QTest::mouseClick(bar.windowHandle(), Qt::LeftButton, {}, overlap);
    first.raise();
    QTest::mouseClick(bar.windowHandle(), Qt::LeftButton, {}, overlap);
    EXPECT_EQ(tags, (std::vector<int>{2, 1}));
}

// A window with a 55 × 55 control at AAnchorAt for a popup to open below.
struct TPopupHost
{
    explicit TPopupHost(QPoint AAnchorAt)
    {
        Window.setGeometry(100, 100, 600, 300);
        Anchor.setGeometry(QRect(AAnchorAt, QSize(55, 55)));
        Window.show();
    }
    QWidget Window;
    QWidget Anchor{&Window};
};

TEST(CalloutPopup, OpensCentredBelowItsControl)
{
    TPopupHost host({200, 40});
    QWidget &anchor = host.Anchor;
    TCalloutPopup popup(&host.Window);
    popup.PopupBelow(&anchor, 123, 200);
    const QPoint below = anchor.mapToGlobal(QPoint(0, 55));
    EXPECT_EQ(popup.geometry(), QRect(below.x() + 27 - 61, below.y(), 123, 200));
    EXPECT_EQ(popup.Content()->geometry(), QRect(0, 11, 123, 189));
    popup.hide();
}

// Where the desktop draws translucent windows opaque, only the outline may
// show: the corners beside the callout and the rounded corners are cut away.
TEST(CalloutPopup, TheWindowEndsAtItsOutline)
{
    TPopupHost host({60, 40});
    QWidget &anchor = host.Anchor;
    TCalloutPopup popup(&host.Window);
    popup.PopupBelow(&anchor, 123, 200);
    const QRegion mask = popup.mask();
    const int tip = anchor.mapToGlobal(QPoint(27, 0)).x() - popup.x();
    struct TPoint
    {
        QPoint At;
        bool Shown;
    };
    for (const TPoint &c :
         {TPoint{{tip, 2}, true},       // the callout's tip
          TPoint{{61, 100}, true},      // the body
          TPoint{{0, 100}, true},       // the left border
          TPoint{{61, 199}, true},      // the bottom border
          TPoint{{0, 0}, false},        // above the body, left
          TPoint{{122, 5}, false},      // above the body, right
          TPoint{{tip - 11, 3}, false}, // beside the callout
          TPoint{{0, 11}, false},       // the rounded corners
          TPoint{{122, 11}, false}, TPoint{{0, 199}, false}, TPoint{{122, 199}, false}})
        EXPECT_EQ(mask.contains(c.At), c.Shown) << c.At.x() << "," << c.At.y();
    // Kept on the screen at its left edge, the popup points its callout off
    // centre, and the cut follows it.
    host.Window.move(popup.screen()->availableGeometry().topLeft());
    anchor.move(0, 40);
    popup.PopupBelow(&anchor, 123, 200);
    const int moved = anchor.mapToGlobal(QPoint(27, 0)).x() - popup.x();
    ASSERT_LT(moved, 40);
    EXPECT_TRUE(popup.mask().contains(QPoint(moved, 2)));
    EXPECT_FALSE(popup.mask().contains(QPoint(61, 2)));
    popup.hide();
}

TEST(ImageViewer, DragPansAndTheScaleHasAFloor)
{
    TImageViewer viewer;
    viewer.resize(300, 200);
    viewer.SetImage(Filled({600, 400}, Qt::yellow));
    viewer.show();
    QTest::mousePress(&viewer, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&viewer, QPoint(130, 80));
    QTest::mouseRelease(&viewer, Qt::LeftButton, {}, QPoint(130, 80));
    EXPECT_EQ(viewer.Pan(), QPointF(30, -20));
    viewer.SetScale(-3);
    EXPECT_EQ(viewer.Scale(), TImageViewer::MinScale);
}

} // namespace
