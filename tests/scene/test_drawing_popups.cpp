// The pen-option popup and the tool popups driven offscreen: sizes, where
// each control stands, tags, colours, cursors, and what a click reports.
#include "scene/ImageButton.h"
#include "scene/OptionFrame.h"
#include "scene/PenOptionPopup.h"
#include "scene/ToolPopup.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A button to open the popups from, in a shown window.
class DrawingPopups : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Window.resize(800, 400);
        Anchor = new QWidget(&Window);
        Anchor->setGeometry(300, 0, 55, 55);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }
    // A 1-pixel image of a colour, standing in for a skin image.
    static QImage Image(QSize ASize, QRgb AColour)
    {
        QImage image(ASize, QImage::Format_ARGB32);
        image.fill(AColour);
        return image;
    }
    QWidget Window;
    QWidget *Anchor = nullptr;
};

TEST_F(DrawingPopups, PenOptionPopupLaysOutItsFrames)
{
    TPenOptionPopup popup;
    popup.Open(Anchor);
    ASSERT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.size(), QSize(366, 301));
    EXPECT_EQ(popup.objectName(), QStringLiteral("PopupPenOption"));
    // Below the button, centred on it.
    EXPECT_EQ(popup.x() + popup.width() / 2, Anchor->mapToGlobal(QPoint(27, 0)).x());
    EXPECT_EQ(popup.y(), Anchor->mapToGlobal(QPoint(0, 55)).y());
    // The panel is inset 5 pixels below the callout.
    EXPECT_EQ(popup.Panel()->mapTo(&popup, QPoint()), QPoint(5, popup.CalloutLength() + 5));

    EXPECT_EQ(popup.PenFrame()->geometry(), QRect(17, 47, 55, 55));
    EXPECT_EQ(popup.MarkerFrame()->geometry(), QRect(90, 47, 55, 55));
    EXPECT_EQ(popup.PenFrame()->objectName(), QStringLiteral("btnDrawing_Pen"));
    EXPECT_EQ(popup.PenFrame()->Tag(), 1);
    EXPECT_EQ(popup.MarkerFrame()->Tag(), 2);
    for (int k = 0; k < 5; ++k) {
        const TOptionFrame *frame = popup.WidthFrame(k);
        EXPECT_EQ(frame->geometry(), QRect(14 + 71 * k, 151, 46, 37)) << k;
        EXPECT_EQ(frame->objectName(), QStringLiteral("btnDrawing_PenWidth%1").arg(k + 1));
        EXPECT_EQ(frame->Tag(), k + 1);
        EXPECT_EQ(frame->cursor().shape(), Qt::PointingHandCursor);
    }
    for (int k = 0; k < 9; ++k) {
        TOptionFrame *swatch = popup.Swatch(k);
        const auto &entry = TPenOptionPopup::Swatches[std::size_t(k)];
        EXPECT_EQ(swatch->geometry(), QRect(17 + 37 * k, 230, 30, 30)) << k;
        EXPECT_EQ(swatch->objectName(), QLatin1String(entry.Name));
        EXPECT_EQ(swatch->Tag(), k + 1);
        EXPECT_EQ(swatch->TagText(), QLatin1String(entry.ColorText));
        EXPECT_EQ(swatch->cursor().shape(), Qt::PointingHandCursor);
        // Painted in its colour, with the grey border at its edge.
        const QImage shown = swatch->grab().toImage();
        EXPECT_EQ(shown.pixel(15, 15), QColor::fromString(QLatin1String(entry.ColorText)).rgba());
        EXPECT_EQ(shown.pixel(0, 15), qRgb(0xBF, 0xBF, 0xBF));
    }
    // Every frame stays inside the panel.
    for (const QWidget *child : popup.Panel()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(popup.Panel()->rect().contains(child->geometry()))
            << child->objectName().toStdString();
}

TEST_F(DrawingPopups, PenOptionOutlinesChecksAndClicks)
{
    TPenOptionPopup popup;
    TPenOptionPopup::TImages images;
    images.Check = Image({25, 19}, qRgb(0, 255, 0));
    for (QImage &thickness : images.Thickness)
        thickness = Image({46, 37}, qRgb(250, 250, 250));
    popup.SetImages(images);
    popup.Open(Anchor);

    popup.SetCheckedColor(QStringLiteral("#FFDB214C"));
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(popup.Swatch(k)->Checked(), k == 2) << k;
    popup.SetCheckedColor(QStringLiteral("#ffdb214c")); // case counts: none
    for (int k = 0; k < 9; ++k)
        EXPECT_FALSE(popup.Swatch(k)->Checked()) << k;

    popup.SetWidthOutline(3);
    const QRgb outline = qRgb(0x98, 0x97, 0x9B);
    EXPECT_EQ(popup.WidthFrame(3)->grab().toImage().pixel(1, 18), outline);
    EXPECT_NE(popup.WidthFrame(2)->grab().toImage().pixel(1, 18), outline);
    popup.SetTypeOutlines(false, true);
    EXPECT_EQ(popup.MarkerFrame()->grab().toImage().pixel(1, 27), outline);
    EXPECT_FALSE(popup.PenFrame()->Outlined());

    QSignalSpy types(&popup, &TPenOptionPopup::PenTypeClicked);
    QSignalSpy widths(&popup, &TPenOptionPopup::PenWidthClicked);
    QSignalSpy colours(&popup, &TPenOptionPopup::PenColorClicked);
    popup.SetCheckedColor(QStringLiteral("#FF42C734"));
    QTest::mouseClick(popup.MarkerFrame(), Qt::LeftButton);
    QTest::mouseClick(popup.WidthFrame(4), Qt::LeftButton);
    // The click lands on the check mark, which lets it through.
    QTest::mouseClick(popup.Swatch(5), Qt::LeftButton, {}, QPoint(15, 15));
    ASSERT_EQ(types.size(), 1);
    EXPECT_EQ(types.first().first().value<TPenTypeItem>(), TPenTypeItem::Marker);
    ASSERT_EQ(widths.size(), 1);
    EXPECT_EQ(widths.first().first().value<TPenWidthItem>(), TPenWidthItem::PenWidth5);
    ASSERT_EQ(colours.size(), 1);
    EXPECT_EQ(colours.first().first().toString(), QStringLiteral("#FF42C734"));
    EXPECT_TRUE(popup.isVisible()) << "the pen options stay open while choosing";
}

TEST_F(DrawingPopups, ToolPopupsHoldARowOfButtons)
{
    struct Case
    {
        int Count;
        int Width;
    };
    for (const Case c : {Case{2, 170}, Case{3, 246}}) {
        std::vector<TToolPopup::TItem> items;
        for (int k = 0; k < c.Count; ++k)
            items.push_back(
                {QStringLiteral("btn%1").arg(k), k + 1, QStringLiteral("#FF00000%1").arg(k)});
        TToolPopup popup(QStringLiteral("PopupTest"), items);
        popup.Open(Anchor);
        EXPECT_EQ(popup.size(), QSize(c.Width, 107));
        EXPECT_EQ(popup.x() + popup.width() / 2, Anchor->mapToGlobal(QPoint(27, 0)).x());
        QRect row;
        for (int k = 0; k < c.Count; ++k) {
            TImageButton *button = popup.Button(k);
            EXPECT_EQ(button->size(), QSize(55, 55));
            EXPECT_EQ(button->Tag(), k + 1);
            EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
            row |= QRect(button->mapTo(&popup, QPoint()), button->size());
        }
        // The row is centred in the popup, below its callout.
        EXPECT_LE(std::abs(row.left() - (popup.width() - 1 - row.right())), 1);
        EXPECT_LE(
            std::abs((row.top() - popup.CalloutLength()) - (popup.height() - 1 - row.bottom())), 1);

        QSignalSpy clicked(&popup, &TToolPopup::ItemClicked);
        QTest::mouseClick(popup.Button(c.Count - 1), Qt::LeftButton);
        EXPECT_FALSE(popup.isVisible());
        ASSERT_EQ(clicked.size(), 1);
        EXPECT_EQ(clicked.first().at(0).toInt(), c.Count);
        EXPECT_EQ(clicked.first().at(1).toString(), QStringLiteral("#FF00000%1").arg(c.Count - 1));
    }
}

TEST_F(DrawingPopups, ToolPopupOpensAtAPoint)
{
    TToolPopup popup(QStringLiteral("PopupBoardTool"), {{QStringLiteral("a"), 1, {}}});
    const QPoint at = Window.mapToGlobal(QPoint(400, 200));
    popup.OpenAt(at);
    ASSERT_TRUE(popup.isVisible());
    EXPECT_EQ(popup.x() + popup.width() / 2, at.x());
    EXPECT_EQ(popup.y(), at.y());
}

} // namespace
