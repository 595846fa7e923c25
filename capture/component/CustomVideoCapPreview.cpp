// The capture component's preview lifecycle: it runs the capture pipeline
// (TCaptureGraph) with the component's settings, gives it the picture window
// for its frames and turns the pipeline's events into the component's.
#include "capture/component/CustomVideoCap.h"
#include "capture/component/VideoWindow.h"

void TCustomVideoCap::BindCaptureGraph()
{
    FCaptureGraph->OnAttachSink = [this] {
        return AttachVideoWindow();
    };
    FCaptureGraph->OnDetachSink = [this] {
        DetachVideoWindow();
    };
    FCaptureGraph->OnFirstFrame = [this] {
        FirstFrame();
    };
    FCaptureGraph->OnLost = [this](bool beforeFirstFrame) {
        DeviceLost(beforeFirstFrame);
    };
    FCaptureGraph->OnFrameReady = [this](TSampleGrabberCB &cb) {
        if (!FRecordSession->FrameReady(cb))
            FrameReadyMessage(cb);
    };
}

TSampleSink *TCustomVideoCap::AttachVideoWindow()
{
    auto *window = new TVideoWindow(this);
    FVideoWindow = window;
    ResizeWindow();
    window->show();
    return window;
}

void TCustomVideoCap::DetachVideoWindow()
{
    if (FVideoWindow) {
        FVideoWindow->hide();
        delete FVideoWindow.data();
    }
}

bool TCustomVideoCap::RunGraph()
{
    // The effects (grabber), the rotation and the pixel format (pipeline)
    // are where the run reads them.
    if (!FCaptureGraph->Start())
        return false;
    FGrabberCB->SetVideoSize(PictureSize());
    return true;
}

bool TCustomVideoCap::StartPreview()
{
    if (Graph() && Previewing())
        return true;
    if (RunGraph()) {
        FGrabberCB->SetGrabbingEnabled(false);
        return true;
    }
    Raise(OnError);
    return false;
}

void TCustomVideoCap::StopPreview()
{
    const bool wasRecording = Recording();
    if (StopRunning() && !wasRecording)
        Raise(OnStopPreview);
}

bool TCustomVideoCap::StopRunning()
{
    // Whatever stops the pipeline ends the recording first, once; also a
    // pipeline that refuses to stop, which then runs on as it is. The
    // recording's file is finished in the background.
    FRecordSession->Stop();
    bool stopped = false;
    if (Previewing()) {
        if (!FCaptureGraph->Stop())
            return false;
        SetSelectionMode(false);
        FGeometry.ResetZoom();
        stopped = true;
    }
    FCaptureGraph->TearDown();
    CustomInvalidate();
    return stopped;
}

void TCustomVideoCap::PausePreview()
{
    if (!Graph())
        return;
    FCaptureGraph->Pause();
    Raise(OnPausePreview);
}

void TCustomVideoCap::ResumePreview()
{
    StopPreview();
    StartPreview();
    Raise(OnResumePreview);
}

void TCustomVideoCap::RestartPreview()
{
    StopPreview();
    StartPreview();
    Raise(OnChangeFilter);
}

void TCustomVideoCap::SetVideoRotate(TVideoRotationType Value)
{
    // Read when the pipeline is built: the restart applies it.
    FCaptureGraph->SetRotation(Value);
    RestartPreview();
}

void TCustomVideoCap::SetAspectRatio(bool Value)
{
    if (Value == FAspectRatio)
        return;
    FAspectRatio = Value;
    if (Previewing()) {
        StopPreview();
        StartPreview();
    }
}

bool TCustomVideoCap::event(QEvent *e)
{
    switch (int(e->type())) {
    case WM_STILLREQUEST:
        StillRequestMessage();
        return true;
    case WM_SELECTIONDONE:
        SelectionDoneMessage(e);
        return true;
    default:
        return QWidget::event(e);
    }
}

void TCustomVideoCap::FirstFrame()
{
    SetWideMOde(WideMOde()); // fits the picture to the control
    Raise(Recording() ? OnStartRecord : OnStartPreview);
}

void TCustomVideoCap::DeviceLost(bool beforeFirstFrame)
{
    // A stream that fails stops for good in GStreamer; the preview is stopped
    // as for a camera that went away, and a start that never showed a frame
    // is reported as failed.
    StopPreview();
    if (beforeFirstFrame)
        Raise(OnError);
}
