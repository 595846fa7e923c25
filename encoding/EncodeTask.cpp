#include "encoding/EncodeTask.h"

#include "encoding/EncodingLog.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <algorithm>
#include <chrono>
#include <condition_variable>

namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

void SleepUntil(TClock::time_point until, std::stop_token stop)
{
    std::mutex lock;
    std::condition_variable_any never;
    std::unique_lock guard(lock);
    never.wait_until(guard, stop, until, [] { return false; });
}

} // namespace

TEncodeTask::~TEncodeTask()
{
    Abandon();
}

bool TEncodeTask::AddInput(const std::string &inputName, const TInputSettings &settings,
                           std::string &error)
{
    if (FOutput.IsOpen()) {
        error = "inputs cannot be added once the output is set";
        return false;
    }
    TInput input{settings.Kind, nullptr, nullptr};
    if (settings.Kind == TInputKind::FrameInput) {
        auto core = TFrameInputAdapter::Find(inputName);
        if (!core) {
            error = "no frame input adapter is named \"" + inputName + "\"";
            return false;
        }
        input.Frame = std::make_unique<TFrameInput>(std::move(core), settings);
    } else {
        input.Wave = std::make_unique<TWaveInput>();
        if (!input.Wave->Open(inputName, settings, error))
            return false;
    }
    FInputs.push_back(std::move(input));
    return true;
}

bool TEncodeTask::MapStreams(const TOutputSettings &settings, std::string &error)
{
    FVideoInput = nullptr;
    FAudioInput = nullptr;
    const auto take = [&](const TInput &input) {
        if (input.Kind == TInputKind::FrameInput) {
            if (FVideoInput && FVideoInput != input.Frame.get())
                return false;
            FVideoInput = input.Frame.get();
        } else {
            if (FAudioInput && FAudioInput != input.Wave.get())
                return false;
            FAudioInput = input.Wave.get();
        }
        return true;
    };
    if (settings.Maps.empty()) {
        for (const TInput &input : FInputs) {
            if (input.Kind == TInputKind::FrameInput && !FVideoInput)
                take(input);
            if (input.Kind == TInputKind::WaveCapture && !FAudioInput)
                take(input);
        }
    }
    for (const TStreamMap &map : settings.Maps) {
        std::string text = "-map " + std::to_string(map.Input);
        if (map.Stream >= 0)
            text += ':' + std::to_string(map.Stream);
        // Each input of a task carries exactly one stream.
        if (map.Input >= int(FInputs.size()) || map.Stream > 0) {
            error = "\"" + text + "\" names no stream of the task's inputs";
            return false;
        }
        if (!take(FInputs[size_t(map.Input)])) {
            error = "\"" + text + "\": an output takes one video and one audio stream";
            return false;
        }
    }
    if (!FVideoInput && !FAudioInput) {
        error = "the task has nothing to encode";
        return false;
    }
    return true;
}

bool TEncodeTask::SetOutput(const std::string &fileName, const TOutputSettings &settings,
                            std::string &error)
{
    if (FOutput.IsOpen()) {
        error = "the task's output is already set";
        return false;
    }
    if (!MapStreams(settings, error))
        return false;

    std::optional<TVideoStreamSetup> video;
    if (FVideoInput) {
        const TInputFrameInfo &info = FVideoInput->Info();
        video = TVideoStreamSetup{settings.Width > 0 ? settings.Width : info.Width,
                                  settings.Width > 0 ? settings.Height : info.Height,
                                  settings.FrameRate.num > 0 ? settings.FrameRate
                                                             : FVideoInput->FrameRate()};
    }
    std::optional<TAudioStreamSetup> audio;
    if (FAudioInput)
        audio = TAudioStreamSetup{FAudioInput->SampleRate(), FAudioInput->Channels()};
    if (!FOutput.Open(fileName, settings, video, audio, error))
        return false;

    if (const AVCodecContext *enc = FOutput.VideoEncoder()) {
        const TInputFrameInfo &info = FVideoInput->Info();
        FScaler.reset(sws_getContext(info.Width, info.Height, FVideoInput->PixelFormat(),
                                     enc->width, enc->height, enc->pix_fmt, SWS_BICUBIC, nullptr,
                                     nullptr, nullptr));
        FFitter.emplace(video->FrameRate);
        // Until the first picture arrives the output shows black.
        FPicture = MakeFrame();
        FPicture->format = enc->pix_fmt;
        FPicture->width = enc->width;
        FPicture->height = enc->height;
        if (!FScaler || av_frame_get_buffer(FPicture.get(), 0) < 0) {
            error = "cannot convert the frame input's pictures for the video encoder";
            FOutput.Abandon();
            return false;
        }
    }
    if (AVCodecContext *enc = FOutput.AudioEncoder()) {
        AVChannelLayout layout{};
        av_channel_layout_default(&layout, FAudioInput->Channels());
        SwrContext *swr = nullptr;
        int err =
            swr_alloc_set_opts2(&swr, &enc->ch_layout, enc->sample_fmt, enc->sample_rate, &layout,
                                FAudioInput->SampleFormat(), FAudioInput->SampleRate(), 0, nullptr);
        FResampler.reset(swr);
        if (err >= 0)
            err = swr_init(swr);
        FSoundQueue.reset(av_audio_fifo_alloc(enc->sample_fmt, enc->ch_layout.nb_channels, 8192));
        if (err < 0 || !FSoundQueue) {
            error = "cannot convert the wave input's sound for the audio encoder";
            FOutput.Abandon();
            return false;
        }
    }
    return true;
}

int TEncodeTask::EmitPicture(TFrameRateFitter::TFill fill)
{
    for (int64_t i = 0; i < fill.Count; ++i) {
        TFramePtr frame = MakeFrame();
        int err = av_frame_ref(frame.get(), FPicture.get());
        if (err < 0)
            return err;
        frame->pts = fill.First + i;
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        if ((err = FOutput.EncodeVideo(frame.get())) < 0)
            return err;
    }
    return 0;
}

int TEncodeTask::ReadVideo(std::stop_token stop, int &inputResult)
{
    int64_t pts = 0;
    inputResult = FVideoInput->ReadFrame(stop, pts);
    if (inputResult < 0)
        return 0;
    int err = EmitPicture(FFitter->Push(pts));
    if (err < 0)
        return err;
    // The encoder may still hold the previous picture, so the new one gets its own buffer.
    const AVCodecContext *enc = FOutput.VideoEncoder();
    TFramePtr picture = MakeFrame();
    picture->format = enc->pix_fmt;
    picture->width = enc->width;
    picture->height = enc->height;
    if ((err = av_frame_get_buffer(picture.get(), 0)) < 0)
        return err;
    const uint8_t *source[4] = {FVideoInput->TopRow(), nullptr, nullptr, nullptr};
    const int stride[4] = {FVideoInput->Stride(), 0, 0, 0};
    sws_scale(FScaler.get(), source, stride, 0, FVideoInput->Info().Height, picture->data,
              picture->linesize);
    FPicture = std::move(picture);
    return 0;
}

int TEncodeTask::FinishVideo()
{
    const int err = EmitPicture(FFitter->Finish());
    return err < 0 ? err : FOutput.EncodeVideo(nullptr);
}

int TEncodeTask::EncodeSound(const std::vector<uint8_t> &data)
{
    const int bytesPerSample = av_get_bytes_per_sample(FAudioInput->SampleFormat());
    const int samples = int(data.size()) / (bytesPerSample * FAudioInput->Channels());
    const uint8_t *source[1] = {data.data()};
    const int capacity = swr_get_out_samples(FResampler.get(), samples);
    const AVCodecContext *enc = FOutput.AudioEncoder();
    if (!FConverted || FConverted->nb_samples < capacity) {
        FConverted = MakeFrame();
        FConverted->format = enc->sample_fmt;
        FConverted->nb_samples = capacity;
        av_channel_layout_copy(&FConverted->ch_layout, &enc->ch_layout);
        if (const int err = av_frame_get_buffer(FConverted.get(), 0); err < 0)
            return err;
    }
    const int converted = swr_convert(FResampler.get(), FConverted->data, capacity,
                                      samples ? source : nullptr, samples);
    if (converted < 0)
        return converted;
    if (converted > 0 &&
        av_audio_fifo_write(FSoundQueue.get(), reinterpret_cast<void **>(FConverted->data),
                            converted) < converted)
        return AVERROR(ENOMEM);
    return EncodeQueuedSound(false);
}

int TEncodeTask::EncodeQueuedSound(bool final)
{
    const AVCodecContext *enc = FOutput.AudioEncoder();
    const int frameSize = enc->frame_size > 0 ? enc->frame_size : 1024;
    const bool shortLastFrame = enc->codec->capabilities &
                                (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    for (;;) {
        const int queued = av_audio_fifo_size(FSoundQueue.get());
        if (queued == 0 || (queued < frameSize && !final))
            return 0;
        const int take = std::min(queued, frameSize);
        TFramePtr frame = MakeFrame();
        frame->format = enc->sample_fmt;
        frame->sample_rate = enc->sample_rate;
        frame->nb_samples = take < frameSize && !shortLastFrame ? frameSize : take;
        av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout);
        int err = av_frame_get_buffer(frame.get(), 0);
        if (err < 0)
            return err;
        av_samples_set_silence(frame->data, 0, frame->nb_samples, enc->ch_layout.nb_channels,
                               enc->sample_fmt);
        av_audio_fifo_read(FSoundQueue.get(), reinterpret_cast<void **>(frame->data), take);
        frame->pts = FSamplesWritten;
        FSamplesWritten += frame->nb_samples;
        if ((err = FOutput.EncodeAudio(frame.get())) < 0)
            return err;
    }
}

int TEncodeTask::FlushSound()
{
    int err = EncodeSound({});
    if (err >= 0)
        err = EncodeQueuedSound(true);
    return err < 0 ? err : FOutput.EncodeAudio(nullptr);
}

void TEncodeTask::Run(std::stop_token stop, const std::function<void(const std::string &)> &onError)
{
    const auto fail = [&](const std::string &text) {
        qCWarning(lcEncoding, "%s", text.c_str());
        if (onError)
            onError(text);
    };
    const std::string file = "\"" + FOutput.FileName() + "\"";
    // A live frame input is asked for a frame once per nominal frame period. A request that
    // comes late (a busy main thread) moves the next one on rather than catching up in a
    // burst; the pictures' time stamps keep the timing right.
    TClock::duration period{};
    if (FVideoInput) {
        const AVRational rate = FVideoInput->FrameRate();
        period = std::chrono::duration_cast<TClock::duration>(
            std::chrono::duration<double>(double(rate.den) / rate.num));
    }
    auto nextFrame = TClock::now();
    bool videoOpen = FVideoInput != nullptr;
    bool audioOpen = FAudioInput != nullptr;
    std::vector<uint8_t> sound;
    int writeError = 0;

    const auto takeSound = [&](std::chrono::milliseconds wait) {
        const int read = FAudioInput->Read(sound, wait, stop);
        if (read == 0) {
            if (const int err = EncodeSound(sound); err < 0) {
                writeError = err;
                fail("writing " + file + " failed: " + ErrorText(err));
            }
        } else if (read == AVERROR_EOF) {
            audioOpen = false;
            qCWarning(lcEncoding, "the sound recording device stopped; the recording goes on "
                                  "without sound");
        }
        return read == 0;
    };

    while (!stop.stop_requested() && writeError == 0 && (FVideoInput ? videoOpen : audioOpen)) {
        bool worked = false;
        const auto now = TClock::now();
        const auto due = videoOpen && FVideoInput->RealTime() ? nextFrame : now;
        if (videoOpen && now >= due) {
            worked = true;
            nextFrame += period;
            int inputResult = 0;
            const int err = ReadVideo(stop, inputResult);
            nextFrame = std::max(nextFrame, TClock::now());
            if (err < 0) {
                writeError = err;
                fail("writing " + file + " failed: " + ErrorText(err));
                break;
            }
            if (inputResult == AVERROR_EOF) {
                videoOpen = false; // the handler has no more pictures: a normal end
            } else if (inputResult < 0) {
                videoOpen = false;
                fail("the frame input ended the recording (reading frame returned " +
                     std::to_string(inputResult) + ")");
            }
        }
        // Sound already captured, a few periods at a time: neither a slow main thread nor
        // a slow machine lets pictures or sound starve the other.
        for (int i = 0; i < 8 && audioOpen && writeError == 0 && takeSound(0ms); ++i)
            worked = true;
        if (worked)
            continue;
        if (audioOpen) {
            const auto wait = videoOpen ? std::chrono::ceil<std::chrono::milliseconds>(due - now)
                                        : std::chrono::milliseconds(1000);
            takeSound(std::clamp(wait, 0ms, 1000ms));
        } else {
            SleepUntil(due, stop);
        }
    }

    // Finish: the sound captured up to now, the last picture, the encoders' rest, the trailer.
    int err = writeError;
    if (FAudioInput) {
        FAudioInput->Close(); // capture ends here; what it queued is still read
        while (err >= 0 && FAudioInput->Read(sound, 0ms) == 0)
            err = EncodeSound(sound);
        if (err >= 0)
            err = FlushSound();
    }
    if (FVideoInput && err >= 0)
        err = FinishVideo();
    if (err < 0 && writeError == 0)
        fail("writing " + file + " failed: " + ErrorText(err));
    if (const int finish = FOutput.Finish(); finish < 0 && err >= 0)
        fail("finishing " + file + " failed: " + ErrorText(finish));
    qCDebug(lcEncoding, "recording %s finished", file.c_str());
}

void TEncodeTask::Cancel()
{
    if (FVideoInput)
        FVideoInput->Cancel();
}

void TEncodeTask::Abandon()
{
    for (TInput &input : FInputs)
        if (input.Wave)
            input.Wave->Close();
    FOutput.Abandon();
}
