// The option texts of a recording, parsed as they stand, and the errors for texts the
// layer does not understand.
#include "encoding/EncodeOptions.h"

#include <gtest/gtest.h>
#include <ostream>

TEST(EncodeOptions, VideoInputTextOfARecording)
{
    TInputSettings s;
    std::string error;
    ASSERT_TRUE(ParseInputOptions(
        "-f frameinput -input_type bmp -pix_fmt bgr24 -r 30/1 -s 1280x720", s, error))
        << error;
    EXPECT_EQ(s.Kind, TInputKind::FrameInput);
    EXPECT_EQ(s.PixelFormat, AV_PIX_FMT_BGR24);
    EXPECT_EQ(av_cmp_q(s.FrameRate, AVRational{30, 1}), 0);
    EXPECT_EQ(s.Width, 1280);
    EXPECT_EQ(s.Height, 720);
}

TEST(EncodeOptions, AudioInputTextOfARecording)
{
    TInputSettings s;
    std::string error;
    ASSERT_TRUE(ParseInputOptions("-f wavecapture -ar 44100 -ac 2 -sample_fmt u8", s, error))
        << error;
    EXPECT_EQ(s.Kind, TInputKind::WaveCapture);
    EXPECT_EQ(s.SampleRate, 44100);
    EXPECT_EQ(s.Channels, 2);
    EXPECT_EQ(s.SampleFormat, AV_SAMPLE_FMT_U8);
}

TEST(EncodeOptions, OutputTextWithSound)
{
    TOutputSettings s;
    std::string error;
    ASSERT_TRUE(ParseOutputOptions("-c:v mpeg4 -b:v 3000k -c:a aac -strict experimental -b:a 64k "
                                   "-r 20/1 -s 1280x720 -vsync -1 -map 0:0 -map 1:0",
                                   s, error))
        << error;
    EXPECT_EQ(s.VideoCodec, "mpeg4");
    EXPECT_EQ(s.VideoBitRate, 3000000);
    EXPECT_EQ(s.AudioCodec, "aac");
    EXPECT_EQ(s.AudioBitRate, 64000);
    EXPECT_TRUE(s.StrictSet);
    EXPECT_EQ(s.Strict, -2); // experimental
    EXPECT_EQ(av_cmp_q(s.FrameRate, AVRational{20, 1}), 0);
    EXPECT_EQ(s.Width, 1280);
    EXPECT_EQ(s.Height, 720);
    EXPECT_EQ(s.VideoSync, TVideoSync::Auto);
    ASSERT_EQ(s.Maps.size(), 2u);
    EXPECT_EQ(s.Maps[0].Input, 0);
    EXPECT_EQ(s.Maps[0].Stream, 0);
    EXPECT_EQ(s.Maps[1].Input, 1);
    EXPECT_EQ(s.Maps[1].Stream, 0);
}

TEST(EncodeOptions, VideoOnlyOutputText)
{
    TOutputSettings s;
    std::string error;
    ASSERT_TRUE(ParseOutputOptions("-c:v mpeg4 -b:v 3000k -r 20/1 -s 640x480", s, error)) << error;
    EXPECT_EQ(s.VideoCodec, "mpeg4");
    EXPECT_TRUE(s.AudioCodec.empty());
    EXPECT_TRUE(s.Maps.empty());
    EXPECT_EQ(s.Width, 640);
    EXPECT_EQ(s.Height, 480);
}

struct TBadText
{
    bool Input;
    const char *Text;
    const char *ErrorMentions;
};

// Test listings name a case by its name, not by its bytes.
void PrintTo(const TBadText &ACase, std::ostream *AOut)
{
    *AOut << ACase.Text;
}

class EncodeOptionsRefused : public testing::TestWithParam<TBadText>
{};

TEST_P(EncodeOptionsRefused, WithATextNamingTheFault)
{
    const TBadText &c = GetParam();
    std::string error;
    bool ok;
    if (c.Input) {
        TInputSettings s;
        ok = ParseInputOptions(c.Text, s, error);
    } else {
        TOutputSettings s;
        ok = ParseOutputOptions(c.Text, s, error);
    }
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find(c.ErrorMentions), std::string::npos) << "error: " << error;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EncodeOptionsRefused,
    testing::Values(
        TBadText{true, "-f frameinput -s 640x480 -foo 1", "unknown option \"-foo\""},
        TBadText{true, "-f frameinput -s 640x480 -ar 44100",
                 "unknown option \"-ar\" for a frameinput"},
        TBadText{true, "-f wavecapture -s 640x480", "unknown option \"-s\" for a wavecapture"},
        TBadText{true, "-f dshow -s 640x480", "unknown input format \"dshow\""},
        TBadText{true, "-s 640x480", "input format is missing"},
        TBadText{true, "-f frameinput", "picture size"},
        TBadText{true, "-f frameinput -s 640x480 -r", "\"-r\" needs a value"},
        TBadText{true, "-f frameinput -s 640x480 -r fast",
                 "invalid value \"fast\" for option \"-r\""},
        TBadText{true, "-f frameinput -s 0x480", "invalid value \"0x480\""},
        TBadText{true, "-f frameinput -s 640x480 -pix_fmt yuv420p", "\"yuv420p\""},
        TBadText{true, "-f frameinput -s 640x480 -input_type png", "\"png\""},
        TBadText{true, "-f wavecapture -sample_fmt flt", "\"flt\""},
        TBadText{true, "-f wavecapture -ac 0", "\"-ac\""},
        TBadText{true, "frameinput -s 640x480", "expected an option instead of \"frameinput\""},
        TBadText{false, "-c:v mpeg4 -preset fast", "unknown option \"-preset\" for the output"},
        TBadText{false, "-c:v nosuchcodec", "unknown video encoder \"nosuchcodec\""},
        TBadText{false, "-c:a mpeg4", "unknown audio encoder \"mpeg4\""},
        TBadText{false, "-b:v lots", "invalid value \"lots\" for option \"-b:v\""},
        TBadText{false, "-vsync vfr", "invalid value \"vfr\" for option \"-vsync\""},
        TBadText{false, "-map a:b", "invalid value \"a:b\" for option \"-map\""},
        TBadText{false, "-strict sloppy", "\"sloppy\""},
        TBadText{false, "-f nosuchcontainer", "\"nosuchcontainer\""},
        TBadText{false, "-c:v \"mpeg4", "unbalanced quotes"}));
