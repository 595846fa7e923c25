#pragma once

#include "encoding/EncodeOptions.h"
#include "encoding/FFHandles.h"
#include "encoding/FrameInput.h"
#include "encoding/FrameRateFitter.h"
#include "encoding/OutputFile.h"
#include "encoding/WaveInput.h"

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

// One encode task: its inputs (each with one stream), its output file and the loop that
// moves pictures and sound from the one to the other on a worker thread.
//
// The loop asks a live frame input for a frame once per nominal frame period in real
// time, takes the sound captured in between, fits the pictures to the output rate by
// their time stamps and encodes both. When asked to stop it ends the capture, encodes the
// sound already captured and the last picture, drains the encoders and finishes the file.
class TEncodeTask
{
public:
    TEncodeTask() = default;
    ~TEncodeTask();
    TEncodeTask(const TEncodeTask &) = delete;
    TEncodeTask &operator=(const TEncodeTask &) = delete;

    // Opens an input (a wave input starts capturing). Returns false with error on failure.
    bool AddInput(const std::string &inputName, const TInputSettings &settings, std::string &error);
    bool SetOutput(const std::string &fileName, const TOutputSettings &settings,
                   std::string &error);
    bool HasOutput() const { return FOutput.IsOpen(); }
    bool HasInputs() const { return !FInputs.empty(); }

    // Runs the encode to its end on the calling (worker) thread. Errors go to onError.
    void Run(std::stop_token stop, const std::function<void(const std::string &)> &onError);
    // From the thread that stops the encode: no frame request is served from now on.
    void Cancel();
    // Closes inputs and deletes an output file that was never written to.
    void Abandon();

private:
    struct TInput
    {
        TInputKind Kind;
        std::unique_ptr<TFrameInput> Frame;
        std::unique_ptr<TWaveInput> Wave;
    };

    bool MapStreams(const TOutputSettings &settings, std::string &error);
    // 0, or an FFmpeg error of the output; a failed frame request sets inputResult.
    int ReadVideo(std::stop_token stop, int &inputResult);
    int EmitPicture(TFrameRateFitter::TFill fill);
    int EncodeSound(const std::vector<uint8_t> &data);
    int FlushSound();
    int EncodeQueuedSound(bool final);
    int FinishVideo();

    std::vector<TInput> FInputs;
    TFrameInput *FVideoInput = nullptr;
    TWaveInput *FAudioInput = nullptr;
    TOutputFile FOutput;

    // Video: the current picture in the encoder's format, fitted to the output rate.
    TSwsPtr FScaler;
    TFramePtr FPicture;
    std::optional<TFrameRateFitter> FFitter;

    // Audio: converted to the encoder's format and cut into the encoder's frame size.
    TSwrPtr FResampler;
    TAudioFifoPtr FSoundQueue;
    TFramePtr FConverted;
    int64_t FSamplesWritten = 0;
};
