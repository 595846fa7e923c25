// The capture component's recording: the encoder and its frame input, start
// and stop, and the hand-over of grabbed frames to the encoder.
//
// During a recording the grabber copies a frame whenever grabbing is on and
// posts the frame-ready message; its handler marks the frame as new and turns
// grabbing on again, so the grabber buffer always holds the newest frame. The
// encoder's worker asks for a frame about 30 times a second; each request runs
// ReadRecordFrame on the UI thread, which copies the newest frame (or keeps
// the previous picture) and stamps it with the time since the first request.
#include "capture/CaptureLog.h"
#include "capture/CustomVideoCap.h"
#include "capture/RecordFrameCopy.h"
#include "capture/RecordOptions.h"
#include "encoding/FFEncoder.h"
#include "encoding/FrameInputAdapter.h"

#include <QFile>
#include <chrono>

namespace {

using namespace std::chrono_literals;

// Milliseconds of a monotonic clock: a jump of the wall clock during a
// recording would otherwise stall its time stamps or fill the gap with one
// repeated picture.
std::int64_t MonotonicMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// How long a new recording waits for the previous one to finish its file.
constexpr auto PreviousEncodeWait = 3s;

void LogEncoderError(const char *what, const TFFEncoder &encoder)
{
    qCWarning(lcCapture).noquote() << what << QString::fromStdString(encoder.LastErrorMsg());
}

} // namespace

bool TCustomVideoCap::LoadEncoder(const TEncoderRequirements &requirements)
{
    FFEncoder.reset(); // an encoder still working finishes its file first
    FFIA = std::make_unique<TFrameInputAdapter>();
    FFIA->SetOnReadFrameBMP(
        [this](TFrameInputAdapter *Sender, std::uint8_t *AData, TInputFrameInfo *AFrameInfo) {
            return ReadRecordFrame(Sender, AData, AFrameInfo);
        });
    FFEncoder = std::make_unique<TFFEncoder>();
    if (FFEncoder->LoadLibraries(requirements))
        return true;
    LogEncoderError("recording is not available:", *FFEncoder);
    FFEncoder.reset();
    return false;
}

bool TCustomVideoCap::StartRecord()
{
    if (!FFMpegLoaded || !FFEncoder)
        return false;
    TearDownGraph();
    // Recordings never carry the picture effects or a rotation; the pipeline
    // built below takes these values.
    FFlipHorizontal = FFlipVertical = FGrayscale = FInvertColor = false;
    FVideoRotate = vrtNone;

    bool result = false;
    try {
        if (!BuildGraph())
            return false;
        if (gst_element_set_state(FGraph.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            qCWarning(lcCapture) << "the pipeline does not run";
            gst_element_set_state(FGraph.get(), GST_STATE_NULL);
            return false;
        }
        FPreviewing = true;
        FGrabberCB->SetVideoSize(QSize(VideoWidth(), VideoHeight()));
        // A task that cannot start leaves the live picture running without a
        // recording; the caller reports the failure.
        if (!BuildRecordTask())
            return false;
        FGrabberCB->SetGrabbingEnabled(true);
        FRecording = true;
        result = true;
        Raise(OnChangeFilter);
    } catch (const std::exception &e) {
        qCWarning(lcCapture) << "starting the recording failed:" << e.what();
    }
    return result;
}

bool TCustomVideoCap::BuildRecordTask()
{
    FRecordTime = 0;
    // A frame left over from an earlier recording is not this one's picture:
    // until the first frame is grabbed the recording shows black.
    FFrameFlag = false;
    const bool sound = AudioDeviceCount() > 0;

    // Right after a stop the previous encode may still be finishing its file.
    if (FFEncoder->Working())
        FFEncoder->WaitForFinish(PreviousEncodeWait);
    if (!FFEncoder->ClearTasks()) {
        LogEncoderError("the encoder is busy:", *FFEncoder);
        return false;
    }
    const int width = VideoWidth(), height = VideoHeight();
    const int task =
        FFEncoder->AddTask(FFIA->InputName(), {RecordVideoInputOptions(width, height)});
    if (task < 0) {
        LogEncoderError("the video input is refused:", *FFEncoder);
        return false;
    }
    bool withSound = sound;
    if (sound && FFEncoder->AddInput(task, RecordAudioInputName, {RecordAudioInputOptions}) < 0) {
        // The picture is still recorded.
        LogEncoderError("recording without sound:", *FFEncoder);
        withSound = false;
    }
    const TOutputOptions output{RecordOutputOptions(width, height, FRecordFrame, withSound, task)};
    if (FFEncoder->SetOutput(task, QFile::encodeName(FRecordFilename).toStdString(), output) < 0) {
        FFEncoder->RemoveTask(task);
        LogEncoderError("the recording file is refused:", *FFEncoder);
        return false;
    }
    FFEncoder->DisablePreview();
    const int session = ++FRecordSession;
    FFEncoder->SetOnFinished([this, session] {
        // On the encoder's worker: the component learns it on its own thread.
        QMetaObject::invokeMethod(
            this, [this, session] { RecordEncodeFinished(session); }, Qt::QueuedConnection);
    });
    if (!FFEncoder->Start(1)) {
        LogEncoderError("the recording does not start:", *FFEncoder);
        FFEncoder->ClearTasks(); // removes the file it never wrote to
        return false;
    }
    return true;
}

int TCustomVideoCap::ReadRecordFrame(TFrameInputAdapter *, std::uint8_t *AData,
                                     TInputFrameInfo *AFrameInfo)
{
    const std::int64_t now = MonotonicMilliseconds();
    // The clock starts with the first request. Should that request not have
    // been served (the UI thread was busy), the first one served starts it at
    // its own default stamp, so the stamps still begin near 0.
    if (AFrameInfo->TimeStamp == 0 || FRecordTime == 0)
        FRecordTime = now - AFrameInfo->TimeStamp / 1000;
    if (FFrameFlag) {
        FGrabberCB->DisableBufferAccess();
        const TSampleGrabberCB &cb = *FGrabberCB;
        CopyGrabbedFrame({cb.Buffer(), cb.BufferLength(), cb.BufferWidth(), cb.BufferHeight(),
                          cb.BufferStride()},
                         AData, AFrameInfo->Width, AFrameInfo->Height, AFrameInfo->BytesPerLine);
        FGrabberCB->EnableBufferAccess();
        FFrameFlag = false;
    }
    // A request arriving after the recording ended must not arm a still.
    if (FRecording)
        FGrabberCB->SetGrabbingEnabled(true);
    AFrameInfo->TimeStamp = (now - FRecordTime) * 1000;
    if (OnRecording)
        OnRecording(this, AFrameInfo->TimeStamp);
    return 0;
}

bool TCustomVideoCap::RecordFrameReady(TSampleGrabberCB &cb)
{
    if (!FRecording)
        return false;
    cb.DisableBufferAccess();
    if (cb.BufferLength() > 0) {
        FFrameFlag = true;
        cb.SetGrabbingEnabled(true);
    }
    cb.EnableBufferAccess();
    return true;
}

void TCustomVideoCap::StopRecord()
{
    if (FFEncoder)
        FFEncoder->Stop(false); // the worker finishes the file on its own
    StopPreview();
}

bool TCustomVideoCap::RecordFinishing() const
{
    return FFEncoder && FFEncoder->Working();
}

void TCustomVideoCap::EndRecordEncode()
{
    // Whatever ends a recording (a stop, a lost camera, a new mode) ends its
    // encode: the file is finished instead of growing with the last picture.
    if (FFEncoder)
        FFEncoder->Stop(false);
}

void TCustomVideoCap::RecordEncodeFinished(int session)
{
    if (session != FRecordSession || !FRecording || !FFEncoder)
        return; // the component ended it
    // The encode ended on its own (a full disk, a failed write): the recording
    // is over, the live picture goes on.
    LogEncoderError("the recording ended:", *FFEncoder);
    StopPreview();
    StartPreview();
}
