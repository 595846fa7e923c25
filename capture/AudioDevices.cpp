#include "capture/AudioDevices.h"

#include <alsa/asoundlib.h>
#include <memory>

namespace {

struct PcmCloser
{
    void operator()(snd_pcm_t *pcm) const { snd_pcm_close(pcm); }
};

} // namespace

int AudioCaptureDeviceCount()
{
    snd_pcm_t *raw = nullptr;
    // Non-blocking: a device held by another program answers at once.
    if (snd_pcm_open(&raw, "default", SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0 || !raw)
        return 0;
    std::unique_ptr<snd_pcm_t, PcmCloser> pcm(raw);
    return 1;
}
