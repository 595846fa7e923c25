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
    snd_pcm_ioplug_t io;
    int timer_fd;
    struct timespec start;  /* of the current run */
    struct timespec origin; /* of the first run */
    int started;
    long fail_after_ms;
    int stall;
    int failed;
    long frames_total;
    long overrun_at_ms;
    long overrun_ms;
    int overrun_done;
} timed_pcm_t;

static int64_t since_ns(const struct timespec *from)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)(now.tv_sec - from->tv_sec) * 1000000000 + (now.tv_nsec - from->tv_nsec);
}

static int64_t elapsed_ns(const timed_pcm_t *p)
{
    return since_ns(&p->start);
}

static int timed_start(snd_pcm_ioplug_t *io)
{
    timed_pcm_t *p = io->private_data;
    clock_gettime(CLOCK_MONOTONIC, &p->start);
    if (!p->started)
        p->origin = p->start;
    p->started = 1;
    const int64_t period_ns = (int64_t)io->period_size * 1000000000 / io->rate;
    struct itimerspec its;
    its.it_interval.tv_sec = period_ns / 1000000000;
    its.it_interval.tv_nsec = period_ns % 1000000000;
    its.it_value = its.it_interval;
    return timerfd_settime(p->timer_fd, 0, &its, NULL) < 0 ? -errno : 0;
}

static int timed_stop(snd_pcm_ioplug_t *io)
{
    timed_pcm_t *p = io->private_data;
    struct itimerspec its;
    memset(&its, 0, sizeof its);
    timerfd_settime(p->timer_fd, 0, &its, NULL);
    return 0;
}

static snd_pcm_sframes_t timed_pointer(snd_pcm_ioplug_t *io)
{
    timed_pcm_t *p = io->private_data;
    const int64_t ns = elapsed_ns(p);
    if (p->failed || (p->fail_after_ms > 0 && ns >= p->fail_after_ms * 1000000)) {
        p->failed = 1;
        return -EIO;
    }
    if (p->stall)
        return (snd_pcm_sframes_t)io->hw_ptr;
    if (p->overrun_at_ms > 0 && !p->overrun_done) {
        const int64_t run_ns = since_ns(&p->origin);
        if (run_ns >= (p->overrun_at_ms + p->overrun_ms) * 1000000) {
            p->overrun_done = 1;
            return -EPIPE;
        }
        if (run_ns >= p->overrun_at_ms * 1000000)
            return (snd_pcm_sframes_t)io->hw_ptr;
    }
    snd_pcm_uframes_t frames = (snd_pcm_uframes_t)(ns * io->rate / 1000000000);
    if (p->frames_total > 0 && frames > (snd_pcm_uframes_t)p->frames_total)
        frames = (snd_pcm_uframes_t)p->frames_total;
    /* A reader that falls behind loses the oldest frames instead of overrunning. */
    if (frames > io->appl_ptr + io->buffer_size)
        frames = io->appl_ptr + io->buffer_size;
    if (frames < io->hw_ptr)
        frames = io->hw_ptr;
    return (snd_pcm_sframes_t)frames;
}

static snd_pcm_sframes_t timed_transfer(snd_pcm_ioplug_t *io, const snd_pcm_channel_area_t *areas,
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

static int timed_prepare(snd_pcm_ioplug_t *io)
{
    timed_pcm_t *p = io->private_data;
    return p->failed ? -ENODEV : 0;
}

static int timed_poll_revents(snd_pcm_ioplug_t *io, struct pollfd *pfd, unsigned int nfds,
                              unsigned short *revents)
{
    timed_pcm_t *p = io->private_data;
    uint64_t ticks;
    (void)nfds;
    while (read(p->timer_fd, &ticks, sizeof ticks) > 0)
        ;
    *revents = (pfd[0].revents & POLLIN) ? POLLIN : 0;
    if (p->failed)
        *revents |= POLLERR;
    return 0;
}

static int timed_close(snd_pcm_ioplug_t *io)
{
    timed_pcm_t *p = io->private_data;
    close(p->timer_fd);
    free(p);
    return 0;
}

static const snd_pcm_ioplug_callback_t timed_callbacks = {
    .start = timed_start,
    .stop = timed_stop,
    .pointer = timed_pointer,
    .transfer = timed_transfer,
    .close = timed_close,
    .prepare = timed_prepare,
    .poll_revents = timed_poll_revents,
};

SND_PCM_PLUGIN_DEFINE_FUNC(ovilentimed)
{
    snd_config_iterator_t i, next;
    long fail_after_ms = 0;
    long stall = 0;
    long frames_total = 0;
    long overrun_at_ms = 0;
    long overrun_ms = 0;
    (void)root;
    snd_config_for_each(i, next, conf)
    {
        snd_config_t *n = snd_config_iterator_entry(i);
        const char *id;
        if (snd_config_get_id(n, &id) < 0)
            continue;
        if (!strcmp(id, "comment") || !strcmp(id, "type") || !strcmp(id, "hint"))
            continue;
        if (!strcmp(id, "fail_after_ms") && snd_config_get_integer(n, &fail_after_ms) == 0)
            continue;
        if (!strcmp(id, "stall") && snd_config_get_integer(n, &stall) == 0)
            continue;
        if (!strcmp(id, "frames_total") && snd_config_get_integer(n, &frames_total) == 0)
            continue;
        if (!strcmp(id, "overrun_at_ms") && snd_config_get_integer(n, &overrun_at_ms) == 0)
            continue;
        if (!strcmp(id, "overrun_ms") && snd_config_get_integer(n, &overrun_ms) == 0)
            continue;
        SNDERR("Unknown field %s", id);
        return -EINVAL;
    }
    if (stream != SND_PCM_STREAM_CAPTURE)
        return -EINVAL;

    timed_pcm_t *p = calloc(1, sizeof *p);
    if (!p)
        return -ENOMEM;
    p->fail_after_ms = fail_after_ms;
    p->stall = (int)stall;
    p->frames_total = frames_total;
    p->overrun_at_ms = overrun_at_ms;
    p->overrun_ms = overrun_ms;
    p->timer_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (p->timer_fd < 0) {
        free(p);
        return -errno;
    }
    p->io.version = SND_PCM_IOPLUG_VERSION;
    p->io.name = "Ovilen timed capture";
    p->io.callback = &timed_callbacks;
    p->io.private_data = p;
    p->io.poll_fd = p->timer_fd;
    p->io.poll_events = POLLIN;
    p->io.flags = SND_PCM_IOPLUG_FLAG_BOUNDARY_WA;

    int err = snd_pcm_ioplug_create(&p->io, name, stream, mode);
    if (err < 0) {
        close(p->timer_fd);
        free(p);
        return err;
    }
    static const unsigned int accesses[] = {SND_PCM_ACCESS_RW_INTERLEAVED};
    static const unsigned int formats[] = {SND_PCM_FORMAT_U8, SND_PCM_FORMAT_S16_LE};
    if ((err = snd_pcm_ioplug_set_param_list(&p->io, SND_PCM_IOPLUG_HW_ACCESS, 1, accesses)) < 0 ||
        (err = snd_pcm_ioplug_set_param_list(&p->io, SND_PCM_IOPLUG_HW_FORMAT, 2, formats)) < 0 ||
        (err = snd_pcm_ioplug_set_param_minmax(&p->io, SND_PCM_IOPLUG_HW_CHANNELS, 1, 2)) < 0 ||
        (err = snd_pcm_ioplug_set_param_minmax(&p->io, SND_PCM_IOPLUG_HW_RATE, 8000, 48000)) < 0 ||
        (err = snd_pcm_ioplug_set_param_minmax(&p->io, SND_PCM_IOPLUG_HW_PERIOD_BYTES, 64, 65536)) <
            0 ||
        (err = snd_pcm_ioplug_set_param_minmax(&p->io, SND_PCM_IOPLUG_HW_PERIODS, 2, 64)) < 0) {
        snd_pcm_ioplug_delete(&p->io);
        return err;
    }
    *pcmp = p->io.pcm;
    return 0;
}

SND_PCM_PLUGIN_SYMBOL(ovilentimed);
