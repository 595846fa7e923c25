#include "encoding/WaveInput.h"

#include "encoding/EncodingLog.h"
#include "encoding/RecordClock.h"

extern "C" {
#include <libavutil/error.h>
}

#include <algorithm>
#include <cerrno>

using namespace std::chrono_literals;

int WaveInputDeviceCount()
{
    InstallLibraryLogHandlers();
    snd_pcm_t *pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0)
        return 0;
    snd_pcm_close(pcm);
    return 1;
}

namespace {

// Keeps at most this much sound when nobody reads (about ten seconds at 88,200 bytes/s).
constexpr size_t MaxQueuedBytes = 1024 * 1024;
// Sound lost in one overrun is replaced by at most this much silence.
constexpr int MaxSilenceSeconds = 60;

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
    FRunStart = TRecordClock::Now();
    FRunFrames = 0;
    FThread = std::jthread([this](std::stop_token stop) { CaptureLoop(stop); });
    return true;
}

bool TWaveInput::Recover(int err, size_t &lostFrames)
{
    lostFrames = 0;
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
    // The frames the device should have delivered since the last start, by the clock the
    // pictures are stamped with, less those it did deliver: what the overrun lost.
    const auto now = TRecordClock::Now();
    const double seconds = std::chrono::duration<double>(now - FRunStart).count();
    const auto expected = static_cast<uint64_t>(seconds * FSampleRate);
    if (expected > FRunFrames)
        lostFrames = size_t(
            std::min<uint64_t>(expected - FRunFrames, uint64_t(MaxSilenceSeconds) * FSampleRate));
    if (lostFrames > 0)
        qCWarning(lcEncoding, "%zu frames of sound lost on \"%s\" are replaced by silence",
                  lostFrames, FDeviceName.c_str());
    FRunStart = now;
    FRunFrames = 0;
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
    const auto flushIfFull = [&] {
        if (filled == FPacketBytes) {
            Queue(std::move(packet));
            packet.assign(FPacketBytes, 0);
            filled = 0;
        }
    };
    // Reads what the device holds, up to the end of the packet; false on an error.
    const auto readFrames = [&](snd_pcm_uframes_t most) {
        const snd_pcm_sframes_t frames =
            snd_pcm_readi(FPcm.get(), packet.data() + filled,
                          std::min<snd_pcm_uframes_t>(most, (FPacketBytes - filled) / FBlockBytes));
        if (frames > 0) {
            filled += size_t(frames) * FBlockBytes;
            FRunFrames += uint64_t(frames);
            flushIfFull();
        }
        return frames;
    };
    const uint8_t silence = FSampleFormat == AV_SAMPLE_FMT_U8 ? 0x80 : 0x00;
    const auto addSilence = [&](size_t frames) {
        while (frames > 0) {
            const size_t n = std::min(frames, (FPacketBytes - filled) / FBlockBytes);
            std::fill_n(packet.begin() + std::ptrdiff_t(filled), n * FBlockBytes, silence);
            filled += n * FBlockBytes;
            frames -= n;
            flushIfFull();
        }
    };

    bool failed = false;
    while (!stop.stop_requested()) {
        const int ready = snd_pcm_wait(FPcm.get(), 100);
        if (ready == 0)
            continue;
        snd_pcm_sframes_t frames = ready < 0 ? ready : readFrames(FPacketBytes / FBlockBytes);
        if (frames == -EAGAIN || frames >= 0)
            continue;
        size_t lost = 0;
        if (!Recover(int(frames), lost)) {
            failed = true;
            break;
        }
        addSilence(lost);
    }
    if (!failed) {
        // Closing: what the device still holds belongs to the recording too.
        for (int i = 0; i < 64; ++i) {
            const snd_pcm_sframes_t avail = snd_pcm_avail_update(FPcm.get());
            if (avail <= 0 || readFrames(snd_pcm_uframes_t(avail)) <= 0)
                break;
        }
    }
    if (filled > 0) {
        packet.resize(filled);
        Queue(std::move(packet));
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
