#include "encoding/EncodeOptions.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
}

#include <charconv>
#include <cmath>
#include <functional>
#include <map>

namespace {

using TOptionPairs = std::vector<std::pair<std::string, std::string>>;

bool Fail(std::string &error, std::string text)
{
    error = std::move(text);
    return false;
}

std::string Quoted(std::string_view s)
{
    return '"' + std::string(s) + '"';
}

bool InvalidValue(std::string &error, const std::string &option, const std::string &value,
                  std::string_view expected)
{
    return Fail(error, "invalid value " + Quoted(value) + " for option " + Quoted(option) + " (" +
                           std::string(expected) + ")");
}

// Every option of these texts takes one value.
bool ToPairs(std::string_view text, TOptionPairs &pairs, std::string &error)
{
    std::vector<std::string> tokens;
    if (!SplitOptionText(text, tokens, error))
        return false;
    for (size_t i = 0; i < tokens.size(); i += 2) {
        const std::string &name = tokens[i];
        if (name.size() < 2 || name[0] != '-')
            return Fail(error, "expected an option instead of " + Quoted(name));
        if (i + 1 >= tokens.size())
            return Fail(error, "option " + Quoted(name) + " needs a value");
        pairs.emplace_back(name, tokens[i + 1]);
    }
    return true;
}

bool ParseInt(const std::string &value, int min, int max, int &out)
{
    int v = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), v);
    if (ec != std::errc() || end != value.data() + value.size() || v < min || v > max)
        return false;
    out = v;
    return true;
}

// "3000k", "64k", "1.5M", "128000": bits per second with SI suffixes.
bool ParseBitRate(const std::string &value, int64_t &out)
{
    double v = 0;
    const char *first = value.data();
    const char *last = first + value.size();
    const auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || end == first)
        return false;
    double scale = 1;
    if (end != last) {
        if (end + 1 != last)
            return false;
        switch (*end) {
        case 'k':
        case 'K':
            scale = 1e3;
            break;
        case 'M':
            scale = 1e6;
            break;
        case 'G':
            scale = 1e9;
            break;
        default:
            return false;
        }
    }
    const double bits = v * scale;
    if (!(bits >= 1) || bits > 1e10)
        return false;
    out = std::llround(bits);
    return true;
}

bool ParseRate(const std::string &value, AVRational &out)
{
    AVRational r{0, 1};
    if (av_parse_video_rate(&r, value.c_str()) < 0 || r.num <= 0 || r.den <= 0)
        return false;
    out = r;
    return true;
}

bool ParseSize(const std::string &value, int &width, int &height)
{
    int w = 0;
    int h = 0;
    if (av_parse_video_size(&w, &h, value.c_str()) < 0 || w <= 0 || h <= 0 || w > 16384 ||
        h > 16384)
        return false;
    width = w;
    height = h;
    return true;
}

// A picture format the frame input can take: one plane of whole bytes per pixel.
bool ParsePackedPixelFormat(const std::string &value, AVPixelFormat &out)
{
    const AVPixelFormat fmt = av_get_pix_fmt(value.c_str());
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(fmt);
    if (!desc || (desc->flags & (AV_PIX_FMT_FLAG_PLANAR | AV_PIX_FMT_FLAG_HWACCEL |
                                 AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_PAL)))
        return false;
    const int bits = av_get_bits_per_pixel(desc);
    if (bits <= 0 || bits % 8 != 0 || desc->log2_chroma_w || desc->log2_chroma_h)
        return false;
    out = fmt;
    return true;
}

using TApply =
    std::function<bool(const std::string &option, const std::string &value, std::string &error)>;

bool ApplyAll(const TOptionPairs &pairs, const std::map<std::string, TApply> &table,
              std::string_view context, std::string &error)
{
    for (const auto &[name, value] : pairs) {
        const auto it = table.find(name);
        if (it == table.end())
            return Fail(error, "unknown option " + Quoted(name) + " for " + std::string(context));
        if (!it->second(name, value, error))
            return false;
    }
    return true;
}

bool ParseStrict(const std::string &value, int &out)
{
    static const std::map<std::string, int> names = {{"very", FF_COMPLIANCE_VERY_STRICT},
                                                     {"strict", FF_COMPLIANCE_STRICT},
                                                     {"normal", FF_COMPLIANCE_NORMAL},
                                                     {"unofficial", FF_COMPLIANCE_UNOFFICIAL},
                                                     {"experimental", FF_COMPLIANCE_EXPERIMENTAL}};
    if (const auto it = names.find(value); it != names.end()) {
        out = it->second;
        return true;
    }
    return ParseInt(value, FF_COMPLIANCE_EXPERIMENTAL, FF_COMPLIANCE_VERY_STRICT, out);
}

bool ParseMap(const std::string &value, TStreamMap &out)
{
    const auto colon = value.find(':');
    TStreamMap map;
    if (!ParseInt(value.substr(0, colon), 0, 1000, map.Input))
        return false;
    if (colon != std::string::npos && !ParseInt(value.substr(colon + 1), 0, 1000, map.Stream))
        return false;
    out = map;
    return true;
}

} // namespace

bool SplitOptionText(std::string_view text, std::vector<std::string> &tokens, std::string &error)
{
    tokens.clear();
    std::string current;
    bool inToken = false;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inToken = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
            if (inToken)
                tokens.push_back(std::move(current));
            current.clear();
            inToken = false;
        } else {
            current += c;
            inToken = true;
        }
    }
    if (quoted)
        return Fail(error, "unbalanced quotes in options " + Quoted(text));
    if (inToken)
        tokens.push_back(std::move(current));
    return true;
}

bool ParseInputOptions(std::string_view text, TInputSettings &settings, std::string &error)
{
    TOptionPairs pairs;
    if (!ToPairs(text, pairs, error))
        return false;

    TInputSettings s;
    std::string format;
    for (const auto &[name, value] : pairs)
        if (name == "-f")
            format = value;
    if (format.empty())
        return Fail(error, "the input format is missing (-f frameinput or -f wavecapture)");
    if (format == "frameinput")
        s.Kind = TInputKind::FrameInput;
    else if (format == "wavecapture")
        s.Kind = TInputKind::WaveCapture;
    else
        return Fail(error, "unknown input format " + Quoted(format));

    const TApply ignore = [](auto &, auto &, auto &) {
        return true;
    };
    std::map<std::string, TApply> table{{"-f", ignore}};
    bool sizeGiven = false;
    if (s.Kind == TInputKind::FrameInput) {
        table["-input_type"] = [](auto &o, auto &v, auto &e) {
            return v == "bmp" || InvalidValue(e, o, v, "only bmp is supported");
        };
        table["-pix_fmt"] = [&s](auto &o, auto &v, auto &e) {
            return ParsePackedPixelFormat(v, s.PixelFormat) ||
                   InvalidValue(e, o, v, "a packed pixel format such as bgr24");
        };
        table["-r"] = [&s](auto &o, auto &v, auto &e) {
            return ParseRate(v, s.FrameRate) || InvalidValue(e, o, v, "a rate such as 30/1");
        };
        table["-s"] = [&s, &sizeGiven](auto &o, auto &v, auto &e) {
            sizeGiven = ParseSize(v, s.Width, s.Height);
            return sizeGiven || InvalidValue(e, o, v, "a size such as 1280x720");
        };
    } else {
        table["-ar"] = [&s](auto &o, auto &v, auto &e) {
            return ParseInt(v, 1000, 384000, s.SampleRate) ||
                   InvalidValue(e, o, v, "samples per second such as 44100");
        };
        table["-ac"] = [&s](auto &o, auto &v, auto &e) {
            return ParseInt(v, 1, 8, s.Channels) || InvalidValue(e, o, v, "1 to 8 channels");
        };
        table["-sample_fmt"] = [&s](auto &o, auto &v, auto &e) {
            const AVSampleFormat fmt = av_get_sample_fmt(v.c_str());
            if (fmt != AV_SAMPLE_FMT_U8 && fmt != AV_SAMPLE_FMT_S16)
                return InvalidValue(e, o, v, "u8 or s16");
            s.SampleFormat = fmt;
            return true;
        };
    }
    if (!ApplyAll(pairs, table, "a " + format + " input", error))
        return false;
    if (s.Kind == TInputKind::FrameInput && !sizeGiven)
        return Fail(error, "the frame input needs its picture size (-s WxH)");
    settings = s;
    return true;
}

bool ParseOutputOptions(std::string_view text, TOutputSettings &settings, std::string &error)
{
    TOptionPairs pairs;
    if (!ToPairs(text, pairs, error))
        return false;

    TOutputSettings s;
    const auto encoder = [](AVMediaType type, std::string &out) {
        return [type, &out](auto &o, auto &v, auto &e) {
            const AVCodec *codec = avcodec_find_encoder_by_name(v.c_str());
            if (!codec || codec->type != type)
                return Fail(e, std::string("unknown ") +
                                   (type == AVMEDIA_TYPE_VIDEO ? "video" : "audio") + " encoder " +
                                   Quoted(v) + " for option " + Quoted(o));
            out = v;
            return true;
        };
    };
    const auto bitRate = [](int64_t &out) {
        return [&out](auto &o, auto &v, auto &e) {
            return ParseBitRate(v, out) || InvalidValue(e, o, v, "bits per second such as 3000k");
        };
    };
    std::map<std::string, TApply> table;
    table["-f"] = [&s](auto &o, auto &v, auto &e) {
        if (!av_guess_format(v.c_str(), nullptr, nullptr))
            return InvalidValue(e, o, v, "a container such as mp4");
        s.Format = v;
        return true;
    };
    table["-c:v"] = table["-vcodec"] = table["-codec:v"] =
        encoder(AVMEDIA_TYPE_VIDEO, s.VideoCodec);
    table["-c:a"] = table["-acodec"] = table["-codec:a"] =
        encoder(AVMEDIA_TYPE_AUDIO, s.AudioCodec);
    table["-b:v"] = table["-b"] = bitRate(s.VideoBitRate);
    table["-b:a"] = table["-ab"] = bitRate(s.AudioBitRate);
    table["-r"] = [&s](auto &o, auto &v, auto &e) {
        return ParseRate(v, s.FrameRate) || InvalidValue(e, o, v, "a rate such as 20/1");
    };
    table["-s"] = [&s](auto &o, auto &v, auto &e) {
        return ParseSize(v, s.Width, s.Height) || InvalidValue(e, o, v, "a size such as 1280x720");
    };
    table["-strict"] = [&s](auto &o, auto &v, auto &e) {
        s.StrictSet = ParseStrict(v, s.Strict);
        return s.StrictSet ||
               InvalidValue(e, o, v, "experimental, unofficial, normal, strict or very");
    };
    table["-vsync"] = [&s](auto &o, auto &v, auto &e) {
        if (v == "-1" || v == "auto")
            s.VideoSync = TVideoSync::Auto;
        else if (v == "1" || v == "cfr")
            s.VideoSync = TVideoSync::Cfr;
        else
            return InvalidValue(e, o, v, "auto (-1) or cfr (1)");
        return true;
    };
    table["-map"] = [&s](auto &o, auto &v, auto &e) {
        TStreamMap map;
        if (!ParseMap(v, map))
            return InvalidValue(e, o, v, "input:stream such as 0:0");
        s.Maps.push_back(map);
        return true;
    };
    if (!ApplyAll(pairs, table, "the output", error))
        return false;
    settings = s;
    return true;
}
