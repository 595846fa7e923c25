// The resolution popup offscreen: its size and place below its button, where
// each line lies, how the lines are drawn, and what a click chooses.
#include "scene/ResolutionPopup.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class ResolutionPopup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Window.setGeometry(100, 100, 600, 300);
        Button.setParent(&Window);
        Button.setGeometry(200, 40, 55, 55);
        Window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    }

    void Open(std::vector<TResolutionPopup::TItem> items)
    {
        Popup.Open(&Button, std::move(items), [this](const QString &data) { Chosen << data; });
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Popup));
    }

    QWidget Window;
    QWidget Button;
    TResolutionPopup Popup;
    QStringList Chosen;
};

// Whether some pixel of the area is within a few steps of the colour.
bool HasColour(const QImage &image, const QRect &area, const QColor &colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= 6 &&
                std::abs(c.green() - colour.green()) <= 6 &&
                std::abs(c.blue() - colour.blue()) <= 6)
                return true;
        }
    return false;
}

TEST_F(ResolutionPopup, SizeAndPlaceBelowItsButton)
{
    EXPECT_EQ(TResolutionPopup::HeightFor(0), 30);
    EXPECT_EQ(TResolutionPopup::HeightFor(3), 3 * 21 + 53);
    Open({{"1920x1080", "a", false}, {"1280x720", "b", true}, {"640x480", "c", false}});
    EXPECT_EQ(Popup.size(), QSize(123, 116));
    const QPoint buttonBottom = Button.mapToGlobal(QPoint(Button.width() / 2, Button.height()));
    EXPECT_EQ(Popup.geometry().top(), buttonBottom.y());
    EXPECT_EQ(Popup.geometry().left(), buttonBottom.x() - 123 / 2);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(Popup.ItemRect(k), QRect(0, 15 + 21 * k, 123, 20)) << k;
}

TEST_F(ResolutionPopup, LinesSeparatorsAndLabelAreDrawn)
{
    Open({{"1920x1080", "a", false}, {"1280x720", "b", true}, {"640x480", "c", false}});
    const QImage shot = Popup.grab().toImage();
    const QColor dark(0x4d, 0x4c, 0x53), grey(0x8e, 0x8e, 0x8e), separator(0x98, 0x97, 0x9b);
    const QRect text0(20, 15, 83, 20), text1(20, 36, 83, 20);
    EXPECT_TRUE(HasColour(shot, text0, grey));
    EXPECT_FALSE(HasColour(shot, text0, dark));
    EXPECT_TRUE(HasColour(shot, text1, dark));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(shot.pixelColor(60, 35 + 21 * k), separator) << k;
        EXPECT_NE(shot.pixelColor(10, 35 + 21 * k), separator) << k; // inset by 20
    }
    EXPECT_TRUE(HasColour(shot, QRect(20, 15 + 63, 83, 23), dark)); // the label
}

TEST_F(ResolutionPopup, ClickOnALineChoosesItAndCloses)
{
    Open({{"1920x1080", "1920x1080 (MJPG)", false}, {"1280x720", "1280x720 (MJPG)", true}});
    // The separator and the label choose nothing.
    QTest::mouseClick(&Popup, Qt::LeftButton, {}, QPoint(60, 35));
    QTest::mouseClick(&Popup, Qt::LeftButton, {}, QPoint(60, 15 + 42 + 10));
    EXPECT_TRUE(Chosen.isEmpty());
    EXPECT_TRUE(Popup.isVisible());
    QTest::mouseClick(&Popup, Qt::LeftButton, {}, Popup.ItemRect(1).center());
    EXPECT_EQ(Chosen, QStringList{"1280x720 (MJPG)"});
    EXPECT_FALSE(Popup.isVisible());
}

TEST_F(ResolutionPopup, WithoutLinesNoLabel)
{
    Open({});
    EXPECT_EQ(Popup.size(), QSize(123, 30));
    const QImage shot = Popup.grab().toImage();
    EXPECT_FALSE(HasColour(shot, QRect(20, 12, 83, 16), QColor(0x4d, 0x4c, 0x53)));
}

} // namespace
