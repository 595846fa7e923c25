#pragma once

// Owning handles for the FFmpeg and ALSA objects of the recording layer.

extern "C" {
#include <alsa/asoundlib.h>
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

struct TFrameFree
{
    void operator()(AVFrame *p) const { av_frame_free(&p); }
};
struct TPacketFree
{
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};
struct TCodecContextFree
{
    void operator()(AVCodecContext *p) const { avcodec_free_context(&p); }
};
struct TSwsFree
{
    void operator()(SwsContext *p) const { sws_freeContext(p); }
};
struct TSwrFree
{
    void operator()(SwrContext *p) const { swr_free(&p); }
};
struct TAudioFifoFree
{
    void operator()(AVAudioFifo *p) const { av_audio_fifo_free(p); }
};
// An output context together with the file it writes to.
struct TOutputContextFree
{
    void operator()(AVFormatContext *p) const
    {
        if (p->pb && !(p->oformat->flags & AVFMT_NOFILE))
            avio_closep(&p->pb);
        avformat_free_context(p);
    }
};
struct TPcmClose
{
    void operator()(snd_pcm_t *p) const { snd_pcm_close(p); }
};

using TFramePtr = std::unique_ptr<AVFrame, TFrameFree>;
using TPacketPtr = std::unique_ptr<AVPacket, TPacketFree>;
using TCodecContextPtr = std::unique_ptr<AVCodecContext, TCodecContextFree>;
using TSwsPtr = std::unique_ptr<SwsContext, TSwsFree>;
using TSwrPtr = std::unique_ptr<SwrContext, TSwrFree>;
using TAudioFifoPtr = std::unique_ptr<AVAudioFifo, TAudioFifoFree>;
using TOutputContextPtr = std::unique_ptr<AVFormatContext, TOutputContextFree>;
using TPcmPtr = std::unique_ptr<snd_pcm_t, TPcmClose>;

inline TFramePtr MakeFrame()
{
    return TFramePtr(av_frame_alloc());
}
inline TPacketPtr MakePacket()
{
    return TPacketPtr(av_packet_alloc());
}
