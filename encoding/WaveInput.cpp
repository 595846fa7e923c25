#include "encoding/WaveInput.h"

#include "encoding/EncodingLog.h"

extern "C" {
#include <libavutil/error.h>
}

#include <algorithm>
#include <cerrno>

using namespace std::chrono_literals;

int WaveInputDeviceCount()
{
    ovilen::encoding::InstallLibraryLogHandlers();
    snd_pcm_t *pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0)
        return 0;
    snd_pcm_close(pcm);
    return 1;
}

namespace ovilen::encoding {
namespace {

// Keeps at most this much sound when nobody reads (about ten seconds at 88,200 bytes/s).
constexpr size_t MaxQueuedBytes = 1024 * 1024;

std::string AlsaDeviceName(const std::string &inputName)
{
    if (inputName.empty() || inputName == "-1")
        return "default";
    if (std::all_of(inputName.begin(), inputName.end(),
                    [](char c) { return c >= '0' && c <= '9'; }))
        return "plughw:" + inputName;
    return inputName;
}

std::string AlsaFailure(const std::string &what, const std::string &device, int err)
{
    return what + " \"" + device + "\": " + snd_strerror(err);
}

} // namespace

TWaveInput::~TWaveInput()
{
    Close();
}

bool TWaveInput::Open(const std::string &inputName, const TInputSettings &settings,
                      std::string &error)
{
    InstallLibraryLogHandlers();
    FDeviceName = AlsaDeviceName(inputName);
    FSampleRate = settings.SampleRate;
    FChannels = settings.Channels;
    FSampleFormat = settings.SampleFormat;
    const snd_pcm_format_t format =
        settings.SampleFormat == AV_SAMPLE_FMT_S16 ? SND_PCM_FORMAT_S16_LE : SND_PCM_FORMAT_U8;
    FBlockBytes = size_t(settings.Channels) * (format == SND_PCM_FORMAT_U8 ? 1 : 2);
    FPacketBytes = PeriodBytes / FBlockBytes * FBlockBytes;

    snd_pcm_t *raw = nullptr;
    int err = snd_pcm_open(&raw, FDeviceName.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (err < 0) {
        error = AlsaFailure("cannot open the sound recording device", FDeviceName, err);
        return false;
    }
    TPcmPtr pcm(raw);

    snd_pcm_hw_params_t *hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    snd_pcm_uframes_t period = FPacketBytes / FBlockBytes;
    snd_pcm_uframes_t buffer = period * 4;
    unsigned rate = unsigned(settings.SampleRate);
    if ((err = snd_pcm_hw_params_any(pcm.get(), hw)) < 0 ||
        (err = snd_pcm_hw_params_set_access(pcm.get(), hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
        (err = snd_pcm_hw_params_set_format(pcm.get(), hw, format)) < 0 ||
        (err = snd_pcm_hw_params_set_channels(pcm.get(), hw, unsigned(settings.Channels))) < 0 ||
        (err = snd_pcm_hw_params_set_rate_near(pcm.get(), hw, &rate, nullptr)) < 0) {
        error = AlsaFailure("the sound recording device cannot record " +
                                std::to_string(settings.SampleRate) + " Hz, " +
                                std::to_string(settings.Channels) + " channels, " +
                                av_get_sample_fmt_name(settings.SampleFormat) + " on",
                            FDeviceName, err);
        return false;
    }
    if (rate != unsigned(settings.SampleRate)) {
        error = "the sound recording device \"" + FDeviceName + "\" records at " +
                std::to_string(rate) + " Hz instead of " + std::to_string(settings.SampleRate);
        return false;
    }
    // A ring of a few periods rides out a busy moment of the capture thread.
    snd_pcm_hw_params_set_period_size_near(pcm.get(), hw, &period, nullptr);
    snd_pcm_hw_params_set_buffer_size_near(pcm.get(), hw, &buffer);
    if ((err = snd_pcm_hw_params(pcm.get(), hw)) < 0 || (err = snd_pcm_start(pcm.get())) < 0) {
        error = AlsaFailure("cannot start the sound recording device", FDeviceName, err);
        return false;
    }
    qCDebug(lcEncoding, "wave input on \"%s\": %d Hz, %d channels, period %lu, buffer %lu frames",
            FDeviceName.c_str(), FSampleRate, FChannels, static_cast<unsigned long>(period),
            static_cast<unsigned long>(buffer));

    FPcm = std::move(pcm);
    FThread = std::jthread([this](std::stop_token stop) { CaptureLoop(stop); });
    return true;
}

bool TWaveInput::Recover(int err)
{
    if (err == -EPIPE)
        qCWarning(lcEncoding, "sound recording overrun on \"%s\"", FDeviceName.c_str());
    int result = snd_pcm_recover(FPcm.get(), err, 1);
    if (result >= 0)
        result = snd_pcm_start(FPcm.get());
    if (result < 0) {
        qCWarning(lcEncoding, "sound recording device \"%s\" failed: %s", FDeviceName.c_str(),
                  snd_strerror(result));
        return false;
    }
    return true;
}

void TWaveInput::Queue(std::vector<uint8_t> packet)
{
    std::lock_guard lock(FLock);
    if (!FStarted) {
        qCDebug(lcEncoding, "not started, skip wave data %d bytes", int(packet.size()));
        return;
    }
    FQueuedBytes += packet.size();
    FPackets.push_back(std::move(packet));
    while (FQueuedBytes > MaxQueuedBytes) {
        if (!FOverflowLogged)
            qCWarning(lcEncoding, "sound is not being read, the oldest is dropped");
        FOverflowLogged = true;
        FQueuedBytes -= FPackets.front().size();
        FPackets.pop_front();
    }
    FArrived.notify_all();
}

void TWaveInput::CaptureLoop(std::stop_token stop)
{
    std::vector<uint8_t> packet(FPacketBytes);
    size_t filled = 0;
    while (!stop.stop_requested()) {
        const int ready = snd_pcm_wait(FPcm.get(), 100);
        if (ready == 0)
            continue;
        if (ready < 0) {
            if (!Recover(ready))
                break;
            continue;
        }
        const snd_pcm_sframes_t frames = snd_pcm_readi(FPcm.get(), packet.data() + filled,
                                                       (FPacketBytes - filled) / FBlockBytes);
        if (frames == -EAGAIN)
            continue;
        if (frames < 0) {
            if (!Recover(int(frames)))
                break;
            continue;
        }
        filled += size_t(frames) * FBlockBytes;
        if (filled == FPacketBytes) {
            Queue(std::move(packet));
            packet.assign(FPacketBytes, 0);
            filled = 0;
        }
    }
    std::lock_guard lock(FLock);
    FEnded = true;
    FArrived.notify_all();
}

int TWaveInput::Read(std::vector<uint8_t> &data, std::chrono::milliseconds wait,
                     std::stop_token stop)
{
    std::unique_lock lock(FLock);
    FStarted = true;
    if (FPackets.empty() && !FEnded && wait > 0ms) {
        const bool arrived =
            FArrived.wait_for(lock, stop, wait, [&] { return !FPackets.empty() || FEnded; });
        if (!arrived && !stop.stop_requested() && wait >= 1000ms)
            qCDebug(lcEncoding, "wait timeout, need read again");
    }
    if (!FPackets.empty()) {
        data = std::move(FPackets.front());
        FPackets.pop_front();
        FQueuedBytes -= data.size();
        return 0;
    }
    return FEnded ? AVERROR_EOF : AVERROR(EAGAIN);
}

void TWaveInput::Close()
{
    if (FThread.joinable()) {
        FThread.request_stop();
        FThread.join();
    }
    if (FPcm) {
        snd_pcm_drop(FPcm.get());
        FPcm.reset();
    }
    std::lock_guard lock(FLock);
    FEnded = true;
    FArrived.notify_all();
}

} // namespace ovilen::encoding
