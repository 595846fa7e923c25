/* A capture-only ALSA device for the tests: it delivers frames in real time, paced by a
 * timer, like a sound card would. Every byte of a U8 stream is the frame's index modulo 256,
 * so a reader can check that nothing was lost or reordered.
 *
 *   pcm_type.ovilentimed { lib "/path/libasound_module_pcm_ovilentimed.so" }
 *   pcm.!default { type ovilentimed  fail_after_ms 500  stall 0 }
 *
 * fail_after_ms: the device fails (as if unplugged) after that long; 0 never.
 * stall: 1 makes the device deliver nothing at all.
 * frames_total: the device delivers that many frames, then nothing more; 0 no limit.
 * overrun_at_ms, overrun_ms: from overrun_at_ms after the first start, nothing arrives for
 *   overrun_ms (as if the reader slept while the ring filled), then the device reports an
 *   overrun once; after the reader recovers and restarts it, frames arrive in real time. */
#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>
#include <errno.h>
#include <poll.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

typedef struct
{
    snd_pcm_ioplug_t Io;
    int TimerFd;
    struct timespec Start;  /* of the current run */
    struct timespec Origin; /* of the first run */
    int Started;
    long FailAfterMs;
    int Stall;
    int Failed;
    long FramesTotal;
    long OverrunAtMs;
    long OverrunMs;
    int OverrunDone;
} TTimedPcm;

static int64_t SinceNs(const struct timespec *from)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)(now.tv_sec - from->tv_sec) * 1000000000 + (now.tv_nsec - from->tv_nsec);
}

static int64_t ElapsedNs(const TTimedPcm *p)
{
    return SinceNs(&p->Start);
}

static int TimedStart(snd_pcm_ioplug_t *io)
{
    TTimedPcm *p = io->private_data;
    clock_gettime(CLOCK_MONOTONIC, &p->Start);
    if (!p->Started)
        p->Origin = p->Start;
    p->Started = 1;
    const int64_t periodNs = (int64_t)io->period_size * 1000000000 / io->rate;
    struct itimerspec its;
    its.it_interval.tv_sec = periodNs / 1000000000;
    its.it_interval.tv_nsec = periodNs % 1000000000;
    its.it_value = its.it_interval;
    return timerfd_settime(p->TimerFd, 0, &its, NULL) < 0 ? -errno : 0;
}

static int TimedStop(snd_pcm_ioplug_t *io)
{
    TTimedPcm *p = io->private_data;
    struct itimerspec its;
    memset(&its, 0, sizeof its);
    timerfd_settime(p->TimerFd, 0, &its, NULL);
    return 0;
}

static snd_pcm_sframes_t TimedPointer(snd_pcm_ioplug_t *io)
{
    TTimedPcm *p = io->private_data;
    const int64_t ns = ElapsedNs(p);
    if (p->Failed || (p->FailAfterMs > 0 && ns >= p->FailAfterMs * 1000000)) {
        p->Failed = 1;
        return -EIO;
    }
    if (p->Stall)
        return (snd_pcm_sframes_t)io->hw_ptr;
    if (p->OverrunAtMs > 0 && !p->OverrunDone) {
        const int64_t runNs = SinceNs(&p->Origin);
        if (runNs >= (p->OverrunAtMs + p->OverrunMs) * 1000000) {
            p->OverrunDone = 1;
            return -EPIPE;
        }
        if (runNs >= p->OverrunAtMs * 1000000)
            return (snd_pcm_sframes_t)io->hw_ptr;
    }
    snd_pcm_uframes_t frames = (snd_pcm_uframes_t)(ns * io->rate / 1000000000);
    if (p->FramesTotal > 0 && frames > (snd_pcm_uframes_t)p->FramesTotal)
        frames = (snd_pcm_uframes_t)p->FramesTotal;
    /* A reader that falls behind loses the oldest frames instead of overrunning. */
    if (frames > io->appl_ptr + io->buffer_size)
        frames = io->appl_ptr + io->buffer_size;
    if (frames < io->hw_ptr)
        frames = io->hw_ptr;
    return (snd_pcm_sframes_t)frames;
}

static snd_pcm_sframes_t TimedTransfer(snd_pcm_ioplug_t *io, const snd_pcm_channel_area_t *areas,
                                       snd_pcm_uframes_t offset, snd_pcm_uframes_t size)
{
    for (unsigned c = 0; c < io->channels; ++c) {
        const snd_pcm_channel_area_t *a = &areas[c];
        for (snd_pcm_uframes_t i = 0; i < size; ++i) {
            unsigned char *sample =
                (unsigned char *)a->addr + (a->first + (offset + i) * a->step) / 8;
            if (io->format == SND_PCM_FORMAT_U8)
                *sample = (unsigned char)((io->appl_ptr + i) & 0xff);
            else
                memset(sample, 0, snd_pcm_format_physical_width(io->format) / 8);
        }
    }
    return (snd_pcm_sframes_t)size;
}

static int TimedPrepare(snd_pcm_ioplug_t *io)
{
    TTimedPcm *p = io->private_data;
    return p->Failed ? -ENODEV : 0;
}

static int TimedPollRevents(snd_pcm_ioplug_t *io, struct pollfd *pfd, unsigned int nfds,
                            unsigned short *revents)
{
    TTimedPcm *p = io->private_data;
    uint64_t ticks;
    (void)nfds;
    while (read(p->TimerFd, &ticks, sizeof ticks) > 0)
        ;
    *revents = (pfd[0].revents & POLLIN) ? POLLIN : 0;
    if (p->Failed)
        *revents |= POLLERR;
    return 0;
}

static int TimedClose(snd_pcm_ioplug_t *io)
{
    TTimedPcm *p = io->private_data;
    close(p->TimerFd);
    free(p);
    return 0;
}

static const snd_pcm_ioplug_callback_t TimedCallbacks = {
    .start = TimedStart,
    .stop = TimedStop,
    .pointer = TimedPointer,
    .transfer = TimedTransfer,
    .close = TimedClose,
    .prepare = TimedPrepare,
    .poll_revents = TimedPollRevents,
};

SND_PCM_PLUGIN_DEFINE_FUNC(ovilentimed)
{
    snd_config_iterator_t i, next;
    long failAfterMs = 0;
    long stall = 0;
    long framesTotal = 0;
    long overrunAtMs = 0;
    long overrunMs = 0;
    (void)root;
    snd_config_for_each(i, next, conf)
    {
        snd_config_t *n = snd_config_iterator_entry(i);
        const char *id;
        if (snd_config_get_id(n, &id) < 0)
            continue;
        if (!strcmp(id, "comment") || !strcmp(id, "type") || !strcmp(id, "hint"))
            continue;
        if (!strcmp(id, "fail_after_ms") && snd_config_get_integer(n, &failAfterMs) == 0)
            continue;
        if (!strcmp(id, "stall") && snd_config_get_integer(n, &stall) == 0)
            continue;
        if (!strcmp(id, "frames_total") && snd_config_get_integer(n, &framesTotal) == 0)
            continue;
        if (!strcmp(id, "overrun_at_ms") && snd_config_get_integer(n, &overrunAtMs) == 0)
            continue;
        if (!strcmp(id, "overrun_ms") && snd_config_get_integer(n, &overrunMs) == 0)
            continue;
        SNDERR("Unknown field %s", id);
        return -EINVAL;
    }
    if (stream != SND_PCM_STREAM_CAPTURE)
        return -EINVAL;

    TTimedPcm *p = calloc(1, sizeof *p);
    if (!p)
        return -ENOMEM;
    p->FailAfterMs = failAfterMs;
    p->Stall = (int)stall;
    p->FramesTotal = framesTotal;
    p->OverrunAtMs = overrunAtMs;
    p->OverrunMs = overrunMs;
    p->TimerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (p->TimerFd < 0) {
        free(p);
        return -errno;
    }
    p->Io.version = SND_PCM_IOPLUG_VERSION;
    p->Io.name = "Ovilen timed capture";
    p->Io.callback = &TimedCallbacks;
    p->Io.private_data = p;
    p->Io.poll_fd = p->TimerFd;
    p->Io.poll_events = POLLIN;
    p->Io.flags = SND_PCM_IOPLUG_FLAG_BOUNDARY_WA;

    int err = snd_pcm_ioplug_create(&p->Io, name, stream, mode);
    if (err < 0) {
        close(p->TimerFd);
        free(p);
        return err;
    }
    static const unsigned int accesses[] = {SND_PCM_ACCESS_RW_INTERLEAVED};
    static const unsigned int formats[] = {SND_PCM_FORMAT_U8, SND_PCM_FORMAT_S16_LE};
    if ((err = snd_pcm_ioplug_set_param_list(&p->Io, SND_PCM_IOPLUG_HW_ACCESS, 1, accesses)) < 0 ||
        (err = snd_pcm_ioplug_set_param_list(&p->Io, SND_PCM_IOPLUG_HW_FORMAT, 2, formats)) < 0 ||
        (err = snd_pcm_ioplug_set_param_minmax(&p->Io, SND_PCM_IOPLUG_HW_CHANNELS, 1, 2)) < 0 ||
        (err = snd_pcm_ioplug_set_param_minmax(&p->Io, SND_PCM_IOPLUG_HW_RATE, 8000, 48000)) < 0 ||
        (err = snd_pcm_ioplug_set_param_minmax(&p->Io, SND_PCM_IOPLUG_HW_PERIOD_BYTES, 64, 65536)) <
            0 ||
        (err = snd_pcm_ioplug_set_param_minmax(&p->Io, SND_PCM_IOPLUG_HW_PERIODS, 2, 64)) < 0) {
        snd_pcm_ioplug_delete(&p->Io);
        return err;
    }
    *pcmp = p->Io.pcm;
    return 0;
}

SND_PCM_PLUGIN_SYMBOL(ovilentimed);
