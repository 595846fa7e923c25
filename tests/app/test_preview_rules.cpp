// The preview menu's rules without window or camera: status texts, the
// resolution list, the rotation cycle, the image viewer's scale and the file
// kinds of the load command.
#include "app/PreviewRules.h"
#include "capture/component/CustomVideoCap.h"

#include <gtest/gtest.h>

namespace {

TEST(PreviewTexts, ZoomRoundsHalvesToEven)
{
    const std::pair<double, const char *> cases[] = {
        {1.0, "100%"},   {1.25, "125%"},  {0.125, "12%"},  {0.135, "14%"},
        {1.1f, "110%"},  {1.15f, "115%"}, {0.1f, "10%"},   {10.0, "1000%"},
        {2.005, "200%"}, {0.0, "0%"},     {3.335, "334%"}, {0.0049, "0%"}};
    for (const auto &[zoom, text] : cases)
        EXPECT_EQ(ZoomText(zoom), QLatin1String(text)) << zoom;
}

TEST(PreviewTexts, RecordingClock)
{
    const std::pair<std::int64_t, const char *> cases[] = {
        {0, "00:00:00"},
        {999999, "00:00:00"},
        {1500000, "00:00:01"},
        {59999999, "00:00:59"},
        {60000000, "00:01:00"},
        {3725000000, "01:02:05"},
        {std::int64_t(100) * 3600 * 1000000 + 1000000, "100:00:01"},
        {-5000000, "00:00:00"}};
    for (const auto &[stamp, text] : cases)
        EXPECT_EQ(RecordClockText(stamp), QLatin1String(text)) << stamp;
}

TEST(PreviewTexts, ResolutionTexts)
{
    EXPECT_EQ(ResolutionText({1280, 720, QStringLiteral("MJPG")}), QStringLiteral("1280x720"));
    EXPECT_EQ(ResolutionFormatText({1600, 1200, QStringLiteral("MJPG")}),
              QStringLiteral("1600x1200 MJPG"));
}

std::vector<TVideoSizeItem> Sizes(std::initializer_list<const char *> texts)
{
    std::vector<TVideoSizeItem> sizes;
    int index = 0;
    for (const char *text : texts)
        sizes.push_back({QString::fromLatin1(text), index++});
    return sizes;
}

std::vector<QString> Lines(const std::vector<TResolutionItem> &items)
{
    std::vector<QString> lines;
    for (const TResolutionItem &item : items)
        lines.push_back(item.Text + (item.Current ? QStringLiteral(" *") : QString()));
    return lines;
}

TEST(ResolutionList, MjpegModesOnlyLargestFirstCurrentMarked)
{
    const auto sizes =
        Sizes({"640x480 (YUY2)", "640x480 (MJPG)", "1280x720 (YUY2)", "1920x1080 (MJPG)",
               "1280x720 (MJPG)", "1920x1080 (YUY2)", "320x240 (RGB24)"});
    const auto items = ResolutionItems(sizes, 1280, 720, QStringLiteral("MJPG"));
    EXPECT_EQ(Lines(items), (std::vector<QString>{"1920x1080", "1280x720 *", "640x480"}));
    EXPECT_EQ(items[0].TagText, QStringLiteral("1920x1080 (MJPG)"));
    // The same size in another codec is not the current MJPEG mode.
    EXPECT_EQ(Lines(ResolutionItems(sizes, 1280, 720, QStringLiteral("YUY2"))),
              (std::vector<QString>{"1920x1080", "1280x720", "640x480"}));
}

TEST(ResolutionList, EqualSumsKeepListOrderAndNoMjpegGivesNothing)
{
    EXPECT_EQ(
        Lines(ResolutionItems(Sizes({"800x600 (MJPG)", "1000x400 (MJPG)", "1600x1200 (MJPG)"}),
                              1000, 400, QStringLiteral("MJPG"))),
        (std::vector<QString>{"1600x1200", "800x600", "1000x400 *"}));
    EXPECT_TRUE(ResolutionItems(Sizes({"640x480 (YUY2)"}), 640, 480, "YUY2").empty());
    EXPECT_TRUE(ResolutionItems({}, 0, 0, QString()).empty());
}

TEST(Rotation, CycleOfQuarterTurnsFlipsGoToNone)
{
    const std::pair<TVideoRotationType, TVideoRotationType> cases[] = {
        {vrtNone, vrt90},  {vrt90, vrt180},        {vrt180, vrt270},
        {vrt270, vrtNone}, {vrtFlipHorz, vrtNone}, {vrtFlipVert, vrtNone}};
    for (const auto &[from, to] : cases)
        EXPECT_EQ(NextRotation(from), to) << int(from);
}

TEST(ImageViewerScale, StepsStayBetweenTheLimits)
{
    double scale = 1.0;
    for (int i = 0; i < 10; ++i)
        scale = StepImageScale(scale, -ImageScaleStep);
    EXPECT_DOUBLE_EQ(scale, MinImageScale); // never zero or below
    scale = StepImageScale(scale, ImageScaleStep);
    EXPECT_DOUBLE_EQ(scale, 0.4);
    for (int i = 0; i < 60; ++i)
        scale = StepImageScale(scale, ImageScaleStep);
    EXPECT_DOUBLE_EQ(scale, MaxImageScale);
    EXPECT_DOUBLE_EQ(StepImageScale(std::nan(""), ImageScaleStep), MinImageScale);
}

TEST(LoadCommand, ExtensionMustEqualOneOfTheList)
{
    const std::pair<const char *, TLoadKind> cases[] = {
        {"/x/page.png", TLoadKind::Picture},  {"/x/page.JPG", TLoadKind::Picture},
        {"/x/page.jpeg", TLoadKind::Picture}, {"/x/page.Gif", TLoadKind::Picture},
        {"/x/a.b.bmp", TLoadKind::Picture},   {"/x/lesson.mp4", TLoadKind::Movie},
        {"/x/lesson.MKV", TLoadKind::Movie},  {"/x/lesson.ts", TLoadKind::Movie},
        {"/x/lesson.rmvb", TLoadKind::Movie}, {"/x/page.P", TLoadKind::None},
        {"/x/page.JP", TLoadKind::None},      {"/x/page.PN", TLoadKind::None},
        {"/x/page.M", TLoadKind::None},       {"/x/page.", TLoadKind::None},
        {"/x/page", TLoadKind::None},         {"/x/page.txt", TLoadKind::None},
        {"/x/page.png.txt", TLoadKind::None}, {"/x.png/page", TLoadKind::None},
        {"/x/page.PNG;", TLoadKind::None},    {"/x/page.mp", TLoadKind::None}};
    for (const auto &[name, kind] : cases)
        EXPECT_EQ(LoadKindOf(QString::fromLatin1(name)), kind) << name;
}

TEST(LoadCommand, DialogFilterInBothCases)
{
    EXPECT_TRUE(LoadDialogFilter().startsWith(
        QStringLiteral("Image|*.PNG;*.JPG;*.JPEG;*.BMP;*.GIF|Movie|*.3GP;")));
    EXPECT_EQ(QtFileDialogFilter(QStringLiteral("Image|*.PNG;*.JPG|Movie|*.MP4")),
              QStringLiteral("Image (*.PNG *.png *.JPG *.jpg);;Movie (*.MP4 *.mp4)"));
}

} // namespace
