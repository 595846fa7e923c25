#pragma once

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
#include <libavutil/samplefmt.h>
}

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Options of one input of an encode task: a text of FFmpeg command-line options such as
// "-f frameinput -input_type bmp -pix_fmt bgr24 -r 30/1 -s 1280x720". A default-constructed
// record is the reset state.
struct TInputOptions
{
    std::string Options;
};

// Options of an encode task's output, such as
// "-c:v mpeg4 -b:v 3000k -r 20/1 -s 1280x720".
struct TOutputOptions
{
    std::string Options;
};

// What an input option text says once parsed.
enum class TInputKind
{
    FrameInput,  // -f frameinput: pictures pulled from a TFrameInputAdapter
    WaveCapture, // -f wavecapture: sound from an ALSA capture device
};

struct TInputSettings
{
    TInputKind Kind = TInputKind::FrameInput;
    // Frame input
    AVPixelFormat PixelFormat = AV_PIX_FMT_BGR24;
    AVRational FrameRate{30, 1};
    int Width = 0;
    int Height = 0;
    // Wave capture
    int SampleRate = 44100;
    int Channels = 2;
    AVSampleFormat SampleFormat = AV_SAMPLE_FMT_U8;
};

// How the output's frame timing follows the input's time stamps (-vsync).
enum class TVideoSync
{
    Auto, // -1: constant rate for the containers used here
    Cfr,  // 1: repeat and drop frames to the output rate
};

// One "-map input:stream" entry; Stream is -1 for "every stream of that input".
struct TStreamMap
{
    int Input = 0;
    int Stream = -1;
};

struct TOutputSettings
{
    std::string Format;     // -f; empty: chosen from the file name
    std::string VideoCodec; // -c:v / -vcodec; empty: the container's default
    std::string AudioCodec; // -c:a / -acodec
    int64_t VideoBitRate = 0;
    int64_t AudioBitRate = 0;
    AVRational FrameRate{0, 1}; // -r; 0: the input's rate
    int Width = 0;              // -s; 0: the input's size
    int Height = 0;
    bool StrictSet = false;
    int Strict = 0;
    TVideoSync VideoSync = TVideoSync::Auto;
    std::vector<TStreamMap> Maps;
};

// Parse an option text. On failure the result is false and error names the option and
// what is wrong with it, for example: unknown option "-foo".
bool ParseInputOptions(std::string_view text, TInputSettings &settings, std::string &error);
bool ParseOutputOptions(std::string_view text, TOutputSettings &settings, std::string &error);

// Splits an option text at blanks; double quotes group a value with blanks in it.
bool SplitOptionText(std::string_view text, std::vector<std::string> &tokens, std::string &error);
