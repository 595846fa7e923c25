// The capture component's recording: the pipeline it records from, and the
// recording session's events raised as the component's own.
#include "capture/component/CustomVideoCap.h"
#include "capture/devices/CaptureLog.h"

void TCustomVideoCap::BindRecordSession()
{
    FRecordSession->OnEnded = [this] {
        Raise(OnStopRecord);
    };
    FRecordSession->OnBrokenOff = [this] {
        // The recording is over, the live picture goes on.
        StopRunning();
        StartPreview();
    };
    FRecordSession->OnStamped = [this](std::int64_t stamp) {
        if (OnRecording)
            OnRecording(this, stamp);
    };
}

bool TCustomVideoCap::StartRecord()
{
    if (!FRecordSession->EncoderLoaded())
        return false;
    StopPreview();
    // Recordings never carry the picture effects or a rotation; the preview
    // after the recording has none either until they are set again.
    FGrabberCB->SwitchEffectsOff();
    FCaptureGraph->SetRotation(vrtNone);

    try {
        if (!RunGraph())
            return false;
        // A recording that cannot start leaves the live picture running; the
        // caller reports the failure.
        if (!FRecordSession->Start({FRecordFilename, VideoWidth(), VideoHeight(), FRecordFrame,
                                    AudioDeviceCount() > 0}))
            return false;
        Raise(OnChangeFilter);
        return true;
    } catch (const std::exception &e) {
        qCWarning(lcCapture) << "starting the recording failed:" << e.what();
    }
    return false;
}

void TCustomVideoCap::StopRecord()
{
    // The encode finishes the file on its own; the end of the recording
    // stands for the end of the preview.
    if (Recording())
        StopRunning();
    else
        StopPreview();
}

bool TCustomVideoCap::RecordFinishing() const
{
    return FRecordSession->Finishing();
}
