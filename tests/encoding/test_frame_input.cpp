// The frame input's time stamps and frame info, and how time-stamped pictures are fitted
// to the output rate.
#include "encoding/FrameInput.h"
#include "encoding/FrameRateFitter.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>

namespace {

constexpr int64_t Keep = -1; // the handler leaves the default stamp alone

TInputSettings FrameSettings(int width, int height, AVRational rate = {30, 1})
{
    TInputSettings s;
    s.Kind = TInputKind::FrameInput;
    s.Width = width;
    s.Height = height;
    s.FrameRate = rate;
    return s;
}

} // namespace

struct TStampCase
{
    const char *Name;
    std::vector<int64_t> Given;    // what the handler writes into TimeStamp, or Keep
    std::vector<int64_t> Expected; // the frames' time stamps
};

// Test listings name a case by its name, not by its bytes.
void PrintTo(const TStampCase &ACase, std::ostream *AOut)
{
    *AOut << ACase.Name;
}

class FrameInputStamps : public testing::TestWithParam<TStampCase>
{};

TEST_P(FrameInputStamps, FollowTheHandlerOnlyWhileItsStampsGrow)
{
    const TStampCase &c = GetParam();
    TFrameInputAdapter adapter;
    size_t call = 0;
    adapter.SetOnReadFrameBMP([&](TFrameInputAdapter *, uint8_t *, TInputFrameInfo *info) {
        if (c.Given[call] != Keep)
            info->TimeStamp = c.Given[call];
        ++call;
        return 0;
    });
    TFrameInput input(TFrameInputAdapter::Find(adapter.InputName()), FrameSettings(64, 48));
    std::vector<int64_t> stamps;
    for (size_t i = 0; i < c.Given.size(); ++i) {
        int64_t pts = 0;
        ASSERT_EQ(input.ReadFrame({}, pts), 0);
        stamps.push_back(pts);
    }
    EXPECT_EQ(stamps, c.Expected);
    EXPECT_EQ(input.Info().FrameNumber, int(c.Given.size()) + 1);
    EXPECT_EQ(input.Info().LastTimeStamp, c.Expected.back());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameInputStamps,
    testing::Values(
        // Nominal rate 30/1: one frame period is 33,333.3 microseconds.
        TStampCase{"DefaultsAtTheNominalRate", {Keep, Keep, Keep, Keep}, {0, 33333, 66667, 100000}},
        TStampCase{"GrowingStampsTaken", {0, 50000, 90000}, {0, 50000, 90000}},
        // Two requests within one millisecond: the second gets the default.
        TStampCase{"EqualStampGetsTheDefault", {0, 0, 0}, {0, 33333, 66667}},
        // A clock going back: default one period after the last accepted stamp.
        TStampCase{"ClockGoingBackGetsTheDefault",
                   {0, 100000, 50000, 200000},
                   {0, 100000, 133333, 200000}},
        TStampCase{"DefaultsContinueFromAnAcceptedStamp",
                   {0, 1000000, Keep, Keep},
                   {0, 1000000, 1033333, 1066667}}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST(FrameInput, InfoDescribesTheBottomUpBuffer)
{
    TFrameInputAdapter adapter;
    std::optional<TInputFrameInfo> seen;
    uint8_t *buffer = nullptr;
    adapter.SetOnReadFrameBMP(
        [&](TFrameInputAdapter *sender, uint8_t *data, TInputFrameInfo *info) {
            EXPECT_EQ(sender, &adapter);
            seen = *info;
            buffer = data;
            return 0;
        });
    // 21 pixels of 3 bytes: rows padded from 63 to 64 bytes.
    TFrameInput input(TFrameInputAdapter::Find(adapter.InputName()), FrameSettings(21, 5));
    int64_t pts = 0;
    ASSERT_EQ(input.ReadFrame({}, pts), 0);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->Width, 21);
    EXPECT_EQ(seen->Height, 5);
    EXPECT_EQ(seen->BitsPerPixel, 24);
    EXPECT_EQ(seen->BytesPerLine, 64);
    EXPECT_EQ(seen->BytesPerFrame, 320);
    EXPECT_EQ(seen->PixelFormat, AV_PIX_FMT_BGR24);
    EXPECT_EQ(seen->FrameNumber, 1);
    EXPECT_EQ(seen->LastTimeStamp, INT64_MIN);
    // Starts black; the top row of the picture is the last one in memory.
    EXPECT_TRUE(std::all_of(buffer, buffer + 320, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(input.TopRow(), buffer + 4 * 64);
    EXPECT_EQ(input.Stride(), -64);
}

TEST(FrameInput, NegativeHandlerResultDropsTheFrame)
{
    TFrameInputAdapter adapter;
    int result = 0;
    adapter.SetOnReadFrameBMP(
        [&](TFrameInputAdapter *, uint8_t *, TInputFrameInfo *) { return result; });
    TFrameInput input(TFrameInputAdapter::Find(adapter.InputName()), FrameSettings(8, 8));
    int64_t pts = -1;
    ASSERT_EQ(input.ReadFrame({}, pts), 0);
    result = -5;
    EXPECT_EQ(input.ReadFrame({}, pts), -5);
    EXPECT_EQ(input.Info().FrameNumber, 2); // the dropped frame is not counted
    EXPECT_EQ(input.NextDefaultTimeStamp(), 33333);
}

TEST(FrameInput, UnknownOrDestroyedAdapterIsNotFound)
{
    EXPECT_EQ(TFrameInputAdapter::Find("12345"), nullptr);
    EXPECT_EQ(TFrameInputAdapter::Find("-1"), nullptr);
    EXPECT_EQ(TFrameInputAdapter::Find("0x10"), nullptr);
    std::string name;
    {
        TFrameInputAdapter adapter;
        name = adapter.InputName();
        EXPECT_NE(TFrameInputAdapter::Find(name), nullptr);
    }
    EXPECT_EQ(TFrameInputAdapter::Find(name), nullptr);
}

struct TFitCase
{
    const char *Name;
    AVRational Rate;
    std::vector<int64_t> Pts;
    std::string Shown; // which picture ('A', 'B', ...) each output frame shows
};

// Test listings name a case by its name, not by its bytes.
void PrintTo(const TFitCase &ACase, std::ostream *AOut)
{
    *AOut << ACase.Name;
}

class FrameRateFitting : public testing::TestWithParam<TFitCase>
{};

TEST_P(FrameRateFitting, RepeatsAndDropsByTimeStamp)
{
    const TFitCase &c = GetParam();
    TFrameRateFitter fitter(c.Rate);
    std::string shown;
    int64_t expectedNext = 0;
    const auto show = [&](TFrameRateFitter::TFill fill, char picture) {
        EXPECT_EQ(fill.First, expectedNext) << "output frames are consecutive";
        expectedNext += fill.Count;
        shown.append(size_t(fill.Count), picture);
    };
    for (size_t i = 0; i < c.Pts.size(); ++i) {
        const auto fill = fitter.Push(c.Pts[i]);
        if (i > 0)
            show(fill, char('A' + i - 1));
        else
            EXPECT_EQ(fill.Count, 0);
    }
    show(fitter.Finish(), char('A' + c.Pts.size() - 1));
    EXPECT_EQ(shown, c.Shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, FrameRateFitting,
                         testing::Values(
                             // 30 pictures a second into 20: every third picture is dropped.
                             TFitCase{"ThirtyIntoTwenty",
                                      {20, 1},
                                      {0, 33333, 66667, 100000, 133333, 166667, 200000},
                                      "ACDFG"},
                             TFitCase{"TenIntoTwenty", {20, 1}, {0, 100000, 200000}, "AABBC"},
                             TFitCase{"SameRate", {20, 1}, {0, 50000, 100000}, "ABC"},
                             // A picture that stays for a second fills twenty output frames.
                             TFitCase{"LongGap", {20, 1}, {0, 1000000}, "AAAAAAAAAAAAAAAAAAAAB"},
                             // Stamps counted from the first picture, wherever it starts.
                             TFitCase{"LateStart", {20, 1}, {5000000, 5050000, 5150000}, "ABBC"},
                             TFitCase{"SinglePicture", {20, 1}, {0}, "A"}),
                         [](const auto &info) { return std::string(info.param.Name); });
