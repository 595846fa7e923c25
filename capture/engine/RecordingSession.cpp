#include "capture/engine/RecordingSession.h"

#include "capture/devices/CaptureLog.h"
#include "capture/engine/RecordFrameCopy.h"
#include "capture/engine/RecordOptions.h"
#include "capture/engine/SampleGrabberCB.h"
#include "encoding/FFEncoder.h"
#include "encoding/FrameInputAdapter.h"

#include <QCoreApplication>
#include <QFile>
#include <chrono>

namespace {

using namespace std::chrono_literals;

// How long a new recording waits for the previous one to finish its file,
// and how often it looks.
constexpr std::int64_t PreviousEncodeWaitMs = 3000;
constexpr auto PreviousEncodePoll = 10ms;

void LogEncoderError(const char *what, const TFFEncoder &encoder)
{
    qCWarning(lcCapture).noquote() << what << QString::fromStdString(encoder.LastErrorMsg());
}

} // namespace

TRecordingSession::TRecordingSession(TSampleGrabberCB &grabber)
    : FGrabber(grabber)
{
    FWaitTimer.setInterval(PreviousEncodePoll);
    connect(&FWaitTimer, &QTimer::timeout, this, &TRecordingSession::StartWaitingEncode);
}

TRecordingSession::~TRecordingSession()
{
    OnEnded = nullptr;
    OnBrokenOff = nullptr;
    OnStamped = nullptr;
}

bool TRecordingSession::LoadEncoder(const TEncoderRequirements &requirements)
{
    FEncoder.reset(); // an encoder still working finishes its file first
    FFrameInput = std::make_unique<TFrameInputAdapter>();
    FFrameInput->SetOnReadFrameBMP([this](TFrameInputAdapter *, std::uint8_t *data,
                                          TInputFrameInfo *info) { return ReadFrame(data, info); });
    FEncoder = std::make_unique<TFFEncoder>();
    if (FEncoder->LoadLibraries(requirements))
        return true;
    LogEncoderError("recording is not available:", *FEncoder);
    FEncoder.reset();
    return false;
}

TRecordState TRecordingSession::State() const
{
    // The encode's end comes as a posted call; until it is handled the
    // encoder already knows.
    return FState == rsStopping && !Finishing() ? rsFinished : FState;
}

bool TRecordingSession::Finishing() const
{
    return FEncoder && FEncoder->Working();
}

bool TRecordingSession::Start(const TRecordRequest &request)
{
    if (!FEncoder || Active())
        return false;
    FRequest = request;
    if (FEncoder->Working()) {
        FWaitDue = TRecordClock::NowMs() + PreviousEncodeWaitMs;
        FWaitTimer.start();
        FState = rsStarting;
    } else {
        if (!StartEncode())
            return false;
        FState = rsRecording;
    }
    FGrabber.SetGrabbingEnabled(true);
    return true;
}

void TRecordingSession::Hold()
{
    if (!Active())
        FState = rsStarting;
}

bool TRecordingSession::StartEncode()
{
    FClock.Reset();
    // A frame left over from an earlier recording is not this one's picture:
    // until the first frame is grabbed the recording shows black.
    FFrameFlag = false;
    if (!FEncoder->ClearTasks()) {
        LogEncoderError("the encoder is busy:", *FEncoder);
        return false;
    }
    const int width = FRequest.Width, height = FRequest.Height;
    const int task =
        FEncoder->AddTask(FFrameInput->InputName(), {RecordVideoInputOptions(width, height)});
    if (task < 0) {
        LogEncoderError("the video input is refused:", *FEncoder);
        return false;
    }
    bool withSound = FRequest.Sound;
    if (withSound &&
        FEncoder->AddInput(task, RecordAudioInputName, {RecordAudioInputOptions}) < 0) {
        // The picture is still recorded.
        LogEncoderError("recording without sound:", *FEncoder);
        withSound = false;
    }
    const TOutputOptions output{
        RecordOutputOptions(width, height, FRequest.FrameRate, withSound, task)};
    if (FEncoder->SetOutput(task, QFile::encodeName(FRequest.FileName).toStdString(), output) < 0) {
        FEncoder->RemoveTask(task);
        LogEncoderError("the recording file is refused:", *FEncoder);
        return false;
    }
    FEncoder->DisablePreview();
    const int encode = ++FEncodes;
    FEncoder->SetOnFinished([this, encode] {
        // On the encoder's worker: the session learns it on its own thread.
        QMetaObject::invokeMethod(
            this, [this, encode] { EncodeFinished(encode); }, Qt::QueuedConnection);
    });
    if (!FEncoder->Start(1)) {
        LogEncoderError("the recording does not start:", *FEncoder);
        FEncoder->ClearTasks(); // removes the file it never wrote to
        return false;
    }
    return true;
}

void TRecordingSession::StartWaitingEncode()
{
    if (FState != rsStarting) {
        FWaitTimer.stop(); // the recording ended before its encode started
        return;
    }
    if (FEncoder->Working() && TRecordClock::NowMs() < FWaitDue)
        return;
    FWaitTimer.stop();
    if (StartEncode()) {
        FState = rsRecording;
        return;
    }
    // As for an encode that ends on its own.
    qCWarning(lcCapture) << "the recording could not start after the previous one";
    End();
    if (OnBrokenOff)
        OnBrokenOff();
}

void TRecordingSession::EncodeFinished(int encode)
{
    if (encode != FEncodes)
        return; // an earlier encode
    if (FState == rsStopping) {
        FState = rsFinished;
        return;
    }
    if (FState != rsRecording)
        return; // rsStarting: the previous encode, which the new recording waits for
    // The encode ended on its own (a full disk, a failed write).
    LogEncoderError("the recording ended:", *FEncoder);
    End();
    if (OnBrokenOff)
        OnBrokenOff();
}

void TRecordingSession::Stop()
{
    End();
}

void TRecordingSession::End()
{
    if (!Active())
        return;
    FWaitTimer.stop();
    // Whatever ends a recording ends its encode: the file is finished
    // instead of growing with the last picture.
    if (FState == rsRecording && FEncoder)
        FEncoder->Stop(false);
    FState = Finishing() ? rsStopping : rsFinished;
    // No still from the recording's last grab, also when its message is
    // already on its way.
    FFrameFlag = false;
    FGrabber.CancelGrabs();
    if (OnEnded)
        OnEnded();
}

bool TRecordingSession::FrameReady(TSampleGrabberCB &cb)
{
    if (!Active())
        return false;
    TakeFrame(cb);
    return true;
}

void TRecordingSession::TakeFrame(TSampleGrabberCB &cb)
{
    const TSampleGrabberCB::TBufferAccess access(cb);
    if (cb.BufferLength() > 0) {
        FFrameFlag = true;
        cb.SetGrabbingEnabled(true);
    }
}

int TRecordingSession::ReadFrame(std::uint8_t *data, TInputFrameInfo *info)
{
    const std::int64_t stamp = FClock.StampFrame(*info);
    if (FFrameFlag) {
        const TSampleGrabberCB::TBufferAccess access(FGrabber);
        CopyGrabbedFrame({FGrabber.Buffer(), FGrabber.BufferLength(), FGrabber.BufferWidth(),
                          FGrabber.BufferHeight(), FGrabber.BufferStride()},
                         data, info->Width, info->Height, info->BytesPerLine);
        FFrameFlag = false;
    }
    // A request arriving after the recording ended must not arm a still.
    if (FState == rsRecording)
        FGrabber.SetGrabbingEnabled(true);
    if (OnStamped)
        OnStamped(stamp);
    return 0;
}
