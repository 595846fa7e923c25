#include "support/Common.h"

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

TEST(ResolutionText, ParseResolution)
{
    struct Case
    {
        const char *Text;
        int Width, Height;
        const char *Codec;
    } cases[] = {
        {"1600x1200 MJPG", 1600, 1200, "MJPG"},   {"640X480 yuy2", 640, 480, "YUY2"},
        {"1280 x 720 MJPG", 1280, 720, "MJPG"},   {"1920x1080 H264", 1920, 1080, "H264"},
        {"1600x1200 (MJPG)", 1600, 1200, "MJPG"}, {"640x480 (YUY2)", 640, 480, "YUY2"},
        {"640x480 (RGB24)", 640, 480, "(RGB24)"}, {"1920x1080", 0, 0, ""},
        {"1280x720 MJPG 30", 0, 0, ""},           {"abcx480 MJPG", 0, 480, "MJPG"},
        {"1920x1080 XVID", 1920, 1080, "VID"},    {"", 0, 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Text);
        const TResolutionInfo info = ParseResolution(c.Text);
        EXPECT_EQ(info.Width, c.Width);
        EXPECT_EQ(info.Height, c.Height);
        EXPECT_EQ(info.Codec.toStdString(), c.Codec);
    }
}

TEST(ResolutionText, ParseSizeAndSizeToText)
{
    struct Case
    {
        const char *Text;
        int Width, Height;
    } cases[] = {
        {"1600x1200 MJPG", 1600, 1200},  {"800x600", 800, 600}, {"800", 0, 0}, {"axb", 0, 0},
        {"1280x720 MJPG 30", 1280, 720},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Text);
        int w = -1, h = -1;
        ParseSize(c.Text, w, h);
        EXPECT_EQ(w, c.Width);
        EXPECT_EQ(h, c.Height);
    }
    EXPECT_EQ(SizeToText(1280, 720), "1280x720");
    int w, h;
    ParseSize(SizeToText(3840, 2160), w, h);
    EXPECT_EQ(w, 3840);
    EXPECT_EQ(h, 2160);
}

TEST(ResolutionText, SplitText)
{
    QStringList list{"stale"};
    SplitText("  a   b\"c d\"  'e f' \r\ng", u' ', list);
    EXPECT_EQ(list, (QStringList{"a", "bc d", "e f", "g"}));
    SplitText("", u' ', list);
    EXPECT_TRUE(list.isEmpty());
}

TEST(ResolutionText, CompareResolutionPutsTheLargestFirst)
{
    const QStringList list{"640x480 MJPG", "1920x1080 MJPG", "1600x1200 MJPG", "1280x720 MJPG"};
    std::vector<int> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return CompareResolution(list, a, b) < 0; });
    QStringList sorted;
    for (int i : order)
        sorted << list.at(i);
    EXPECT_EQ(sorted,
              (QStringList{"1920x1080 MJPG", "1600x1200 MJPG", "1280x720 MJPG", "640x480 MJPG"}));
    EXPECT_EQ(CompareResolution(list, 0, 0), 0);
    EXPECT_EQ(CompareResolution(QStringList{"800x600", "600x800"}, 0, 1), 0);
}

} // namespace
