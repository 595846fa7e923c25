#include "encoding/OutputFile.h"

#include "encoding/EncodingLog.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Quoted(const std::string &s)
{
    return '"' + s + '"';
}

bool IsFragmentable(const AVOutputFormat *format)
{
    for (const char *name : {"mp4", "mov", "ipod", "ismv", "3gp", "3g2", "f4v"})
        if (std::strcmp(format->name, name) == 0)
            return true;
    return false;
}

const AVCodec *FindEncoder(const std::string &name, AVCodecID fallback)
{
    return name.empty() ? avcodec_find_encoder(fallback)
                        : avcodec_find_encoder_by_name(name.c_str());
}

} // namespace

TOutputFile::~TOutputFile()
{
    if (FContext)
        Abandon();
}

bool TOutputFile::Open(const std::string &fileName, const TOutputSettings &settings,
                       const std::optional<TVideoStreamSetup> &video,
                       const std::optional<TAudioStreamSetup> &audio, std::string &error)
{
    FFileName = fileName;
    AVFormatContext *raw = nullptr;
    int err = avformat_alloc_output_context2(
        &raw, nullptr, settings.Format.empty() ? nullptr : settings.Format.c_str(),
        fileName.c_str());
    if (err < 0 || !raw) {
        error = "cannot choose a container for " + Quoted(fileName) + " (use a name such as .mp4)";
        return false;
    }
    TOutputContextPtr context(raw);
    const AVOutputFormat *format = context->oformat;

    if (video && !AddVideoStream(context.get(), settings, *video, error))
        return false;
    if (audio && !AddAudioStream(context.get(), settings, *audio, error))
        return false;
    if (!(format->flags & AVFMT_NOFILE) && !OpenTarget(context.get(), error))
        return false;

    // Packets of one stream wait at most a second for the other's before they are written,
    // and what the muxer writes goes to the file at once rather than sitting in a buffer.
    context->max_interleave_delta = 1000000;
    context->flush_packets = 1;
    AVDictionary *options = nullptr;
    if (IsFragmentable(format)) {
        av_dict_set(&options, "movflags",
                    video ? "+frag_keyframe+empty_moov+default_base_moof"
                          : "+empty_moov+default_base_moof",
                    0);
        av_dict_set(&options, "frag_duration", "1000000", 0);
    }
    err = avformat_write_header(context.get(), &options);
    av_dict_free(&options);
    if (err >= 0 && context->pb) {
        // The header must really be on disk before the file counts as writable.
        avio_flush(context->pb);
        err = context->pb->error;
    }
    FContext = std::move(context);
    if (err < 0) {
        error = "cannot write the header of " + Quoted(fileName) + ": " + ErrorText(err);
        Abandon();
        return false;
    }
    FPacket = MakePacket();
    return true;
}

bool TOutputFile::AddVideoStream(AVFormatContext *context, const TOutputSettings &settings,
                                 const TVideoStreamSetup &video, std::string &error)
{
    const AVOutputFormat *format = context->oformat;
    const AVCodec *codec = FindEncoder(settings.VideoCodec, format->video_codec);
    if (!codec || codec->type != AVMEDIA_TYPE_VIDEO) {
        error = "no video encoder for " + Quoted(FFileName);
        return false;
    }
    FVideo.reset(avcodec_alloc_context3(codec));
    AVCodecContext *c = FVideo.get();
    c->width = video.Width;
    c->height = video.Height;
    c->sample_aspect_ratio = AVRational{1, 1};
    c->framerate = video.FrameRate;
    c->time_base = av_inv_q(video.FrameRate);
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    if (codec->pix_fmts) {
        c->pix_fmt = codec->pix_fmts[0];
        for (const AVPixelFormat *p = codec->pix_fmts; *p != AV_PIX_FMT_NONE; ++p)
            if (*p == AV_PIX_FMT_YUV420P)
                c->pix_fmt = *p;
    }
    if (settings.VideoBitRate > 0)
        c->bit_rate = settings.VideoBitRate;
    if (settings.StrictSet)
        c->strict_std_compliance = settings.Strict;
    c->thread_count = 0; // as many as the machine has
    if (format->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (const int err = avcodec_open2(c, codec, nullptr); err < 0) {
        error = "cannot open the video encoder " + Quoted(codec->name) + ": " + ErrorText(err);
        return false;
    }
    FVideoStream = avformat_new_stream(context, nullptr);
    avcodec_parameters_from_context(FVideoStream->codecpar, c);
    FVideoStream->time_base = c->time_base;
    FVideoStream->avg_frame_rate = video.FrameRate;
    return true;
}

bool TOutputFile::AddAudioStream(AVFormatContext *context, const TOutputSettings &settings,
                                 const TAudioStreamSetup &audio, std::string &error)
{
    const AVOutputFormat *format = context->oformat;
    const AVCodec *codec = FindEncoder(settings.AudioCodec, format->audio_codec);
    if (!codec || codec->type != AVMEDIA_TYPE_AUDIO) {
        error = "no audio encoder for " + Quoted(FFileName);
        return false;
    }
    FAudio.reset(avcodec_alloc_context3(codec));
    AVCodecContext *c = FAudio.get();
    c->sample_rate = audio.SampleRate;
    av_channel_layout_default(&c->ch_layout, audio.Channels);
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    c->time_base = AVRational{1, audio.SampleRate};
    if (settings.AudioBitRate > 0)
        c->bit_rate = settings.AudioBitRate;
    if (settings.StrictSet)
        c->strict_std_compliance = settings.Strict;
    if (format->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (const int err = avcodec_open2(c, codec, nullptr); err < 0) {
        error = "cannot open the audio encoder " + Quoted(codec->name) + ": " + ErrorText(err);
        return false;
    }
    FAudioStream = avformat_new_stream(context, nullptr);
    avcodec_parameters_from_context(FAudioStream->codecpar, c);
    FAudioStream->time_base = c->time_base;
    return true;
}

bool TOutputFile::OpenTarget(AVFormatContext *context, std::string &error)
{
    // Only a file this output creates may be deleted again; a device keeps its place.
    // An existing file is never truncated here: the new file is written under a
    // temporary name beside it and takes its place once the encode writes (Commit).
    std::error_code ec;
    const bool existed = std::filesystem::exists(std::filesystem::symlink_status(FFileName, ec));
    std::string target = FFileName;
    if (existed && std::filesystem::is_regular_file(FFileName, ec)) {
        FReplacedPath = std::filesystem::canonical(FFileName, ec).string();
        if (ec || !CreateBeside(FReplacedPath, FTemporaryPath)) {
            error = "cannot create the output file " + Quoted(FFileName) +
                    ": no temporary file can be created beside it";
            FReplacedPath.clear();
            return false;
        }
        target = FTemporaryPath;
    }
    if (const int err = avio_open(&context->pb, target.c_str(), AVIO_FLAG_WRITE); err < 0) {
        error = "cannot create the output file " + Quoted(FFileName) + ": " + ErrorText(err);
        RemoveTemporary();
        return false;
    }
    FCreatedFile = !existed && std::filesystem::is_regular_file(FFileName, ec);
    return true;
}

bool TOutputFile::CreateBeside(const std::string &fileName, std::string &temporary)
{
    const std::filesystem::path path(fileName);
    // Appended piece by piece: GCC 12 at -O3 warns wrongly about "." + string.
    std::string hidden(1, '.');
    hidden += path.filename().string();
    hidden += ".XXXXXX";
    std::string name = (path.parent_path() / hidden).string();
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return false;
    // The new file keeps the permissions of the one it replaces.
    struct stat old
    {};
    if (stat(fileName.c_str(), &old) == 0)
        fchmod(fd, old.st_mode & 07777);
    close(fd);
    temporary = name;
    return true;
}

void TOutputFile::RemoveTemporary()
{
    if (FTemporaryPath.empty())
        return;
    std::error_code ec;
    std::filesystem::remove(FTemporaryPath, ec);
    FTemporaryPath.clear();
    FReplacedPath.clear();
}

int TOutputFile::Commit()
{
    if (FTemporaryPath.empty())
        return 0;
    if (std::rename(FTemporaryPath.c_str(), FReplacedPath.c_str()) != 0) {
        const int err = AVERROR(errno);
        qCWarning(lcEncoding) << "cannot replace" << FReplacedPath.c_str()
                              << ErrorText(err).c_str();
        return err;
    }
    FTemporaryPath.clear();
    FReplacedPath.clear();
    return 0;
}

int TOutputFile::Encode(AVCodecContext *encoder, AVStream *stream, const AVFrame *frame)
{
    if (const int committed = Commit(); committed < 0)
        return committed;
    int err = avcodec_send_frame(encoder, frame);
    if (err < 0 && err != AVERROR_EOF)
        return err;
    for (;;) {
        err = avcodec_receive_packet(encoder, FPacket.get());
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
            return 0;
        if (err < 0)
            return err;
        if (encoder->codec_type == AVMEDIA_TYPE_VIDEO && FPacket->duration <= 0)
            FPacket->duration = 1;
        av_packet_rescale_ts(FPacket.get(), encoder->time_base, stream->time_base);
        FPacket->stream_index = stream->index;
        err = av_interleaved_write_frame(FContext.get(), FPacket.get());
        if (err < 0)
            return err;
    }
}

int TOutputFile::EncodeVideo(const AVFrame *frame)
{
    return Encode(FVideo.get(), FVideoStream, frame);
}

int TOutputFile::EncodeAudio(const AVFrame *frame)
{
    return Encode(FAudio.get(), FAudioStream, frame);
}

int TOutputFile::Finish()
{
    if (!FContext)
        return 0;
    if (const int committed = Commit(); committed < 0) {
        Abandon();
        return committed;
    }
    int err = av_write_trailer(FContext.get());
    if (FContext->pb && !(FContext->oformat->flags & AVFMT_NOFILE)) {
        const int closeErr = avio_closep(&FContext->pb);
        if (err >= 0)
            err = closeErr;
    }
    FContext.reset();
    return err;
}

void TOutputFile::Abandon()
{
    if (!FContext)
        return;
    FContext.reset();
    RemoveTemporary();
    if (FCreatedFile) {
        std::error_code ec;
        std::filesystem::remove(FFileName, ec);
        FCreatedFile = false;
    }
}
