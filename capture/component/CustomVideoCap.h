#pragma once

// The capture component: the widget in which the live camera picture is
// shown. It is the face of parts it owns and forwards to:
//   TCameraBinding   the camera list, the bound camera's modes, controls and
//                    snapshot button;
//   TCaptureGraph    the pipeline, which holds the rotation and the pixel
//                    format the next run is built with;
//   TSampleGrabberCB the frame grabber, which holds the picture effects;
//   TRecordingSession the recordings;
//   TPictureGeometry the zoom and position of the picture.
// It keeps the widget side: the picture window, mouse and wheel, painting,
// stills as images, and raises its events on the UI thread.

#include "capture/component/PictureGeometry.h"
#include "capture/component/VideoWindow.h"
#include "capture/devices/CaptureDevice.h"
#include "capture/devices/CaptureTypes.h"
#include "capture/devices/GstHandles.h"
#include "capture/engine/CameraBinding.h"
#include "capture/engine/CaptureGraph.h"
#include "capture/engine/RecordingSession.h"
#include "capture/engine/SampleGrabberCB.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TCustomVideoCap : public QWidget
{
    Q_OBJECT
public:
    explicit TCustomVideoCap(QWidget *AOwner = nullptr);
    ~TCustomVideoCap() override;

    // ---- cameras and modes (CustomVideoCap.cpp) ----
    // Fills the camera list; true when at least one camera was found.
    bool Init();
    QStringList GetVideodeviceList() const { return FBinding.Names(); }
    int VideoDeviceCount() const { return FBinding.Count(); }
    int VideoDeviceIndex() const { return FBinding.IndexOfName(FBinding.DeviceName()); }
    void SetVideoDeviceIndex(int Value) { SelectVideoDevice(FBinding.At(Value)); }
    QString VideoDeviceName() const { return FBinding.DeviceName(); }
    void SetVideoDeviceName(const QString &Value) { SelectVideoDevice(FBinding.Named(Value)); }
    // The device path of the bound camera (empty when none is bound).
    QString VideoDevicePath() const;
    // Refills the camera list and binds the camera whose device path is
    // APath: a path names the same camera however the others come and go,
    // where an index may not. False when no camera has it ("device not
    // found"; the binding is then unchanged) or when it cannot be bound.
    bool SetVideoDevicePath(const QString &APath);
    int AudioDeviceCount() const;

    // The distinct mode texts of the bound camera, in mode order.
    std::vector<TVideoSizeItem> GetVideoSize() const { return FBinding.VideoSizes(); }
    // Chooses the first mode of that size and codec; false when none.
    bool setVideoSize(int AWidth, int AHeight, const QString &ACodec);
    TVCapMode VCapModes(int i) const { return OnGetVCapModes(i); }
    TVCapMode OnGetVCapModes(int i) const { return FBinding.Mode(i); }
    int VCapModeCount() const { return FBinding.ModeCount(); }
    // The capture mode in use as the camera sends it, before any rotation
    // (zero sizes with no camera bound); VideoCodec names its codec.
    TVCapMode CaptureMode() const { return FCaptureGraph->CurrentFormat().Mode; }
    // Picture size after rotation; 0 with no camera bound.
    int VideoWidth() const { return PictureSize().width(); }
    int VideoHeight() const { return PictureSize().height(); }
    QString VideoCodec() const { return FBinding.Codec(); }

    // ---- preview (CustomVideoCapPreview.cpp) ----
    bool StartPreview();
    void PausePreview();
    void ResumePreview();
    void StopPreview();
    bool Previewing() const { return FCaptureGraph->Running(); }
    bool Recording() const { return FRecordSession->Active(); }
    TVideoRotationType VideoRotate() const { return FCaptureGraph->Rotation(); }
    void SetVideoRotate(TVideoRotationType Value);
    bool AspectRatio() const { return FAspectRatio; }
    void SetAspectRatio(bool Value);
    TPixelFormat BitmapPixelFormat() const { return FCaptureGraph->PixelFormat(); }
    void SetBitmapPixelFormat(TPixelFormat Value) { FCaptureGraph->SetPixelFormat(Value); }

    // ---- picture effects (CustomVideoCap.cpp) ----
    // Held by the frame grabber; they reach the frames at once.
    bool Horizontal() const { return FGrabberCB->FlipHorz(); }
    void SetHorizontal(bool Value);
    bool Vertical() const { return FGrabberCB->FlipVert(); }
    void SetVertical(bool Value);
    bool Grayscale() const { return FGrabberCB->Grayscale(); }
    void SetGrayscale(bool Value);
    bool InvertColor() const { return FGrabberCB->InvertColor(); }
    void SetInvertColor(bool Value);

    // ---- placement of the picture (CustomVideoCapGeometry.cpp) ----
    float Zoom() const { return FGeometry.Zoom(); }
    void SetZoom(float Value);
    bool WideMOde() const { return FGeometry.WideMode(); }
    void SetWideMOde(bool Value);
    TPoint Location() const { return FGeometry.Position(); }
    void SetLocation(TPoint Value) { FGeometry.SetPosition(Value); }
    QColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(const QColor &Value);
    bool EnableMouseEvent() const { return FEnableMouseEvent; }
    void SetEnableMouseEvent(bool Value) { FEnableMouseEvent = Value; }
    bool SelectionMode() const { return FSelectionMode; }
    void SetSelectionMode(bool Value);
    void FitHeight();
    void FitWidth();
    void FitScreen();
    void Centre();
    void ResizeWindow();
    void CustomInvalidate();
    void CustomInvalidate(const TRect &ARect);

    // The lower limit of the zoom, shared by every component.
    static float MinZoom;

    // ---- stills (CustomVideoCapStill.cpp) ----
    // A press of the camera's snapshot button asks for its still this long
    // after it raised OnCaptureEvent.
    static constexpr int SnapshotButtonDelayMs = 1000;
    // Ask for a still of the next frame; it arrives through OnCapturedEvent
    // (cropped to ARect in selection mode). Nothing happens without a
    // pipeline.
    void CaptureVideo();
    void CaptureRect(const TRect &ARect);
    // What the control shows now (picture, zoom, effects, background), as a
    // 24-bit image of the control's size.
    QImage CaptureWindow();

    // ---- recording (CustomVideoCapRecord.cpp) ----
    // Rebuilds and starts the pipeline without picture effects or rotation and
    // starts recording into RecordFilename; false when no recording began.
    bool StartRecord();
    // Stops the recording and the pipeline; the file is finished in the background.
    void StopRecord();
    // True while a recording's file is still being written (also after
    // StopRecord, until the file is finished and playable).
    bool RecordFinishing() const;
    int RecordFrame() const { return FRecordFrame; }
    void SetRecordFrame(int Value) { FRecordFrame = Value; }
    QString RecordFilename() const { return FRecordFilename; }
    void SetRecordFilename(const QString &Value) { FRecordFilename = Value; }

    // ---- camera controls (CustomVideoCapControls.cpp) ----
    // Read from and written to the bound camera, nothing kept here. The
    // properties read -1 without a camera or control (and -1 may also be a
    // real value: ControlValue tells the two apart); writes are fitted to
    // the control's range and step, and do nothing without it.
    std::optional<int> ControlValue(TCameraControl AControl) const
    {
        return FBinding.ControlValue(AControl);
    }
    // The value written (fitted), or absent when nothing was written.
    std::optional<int> SetControlValue(TCameraControl AControl, int Value)
    {
        return FBinding.SetControlValue(AControl, Value);
    }
    int Brightness() const { return ControlOrMinusOne(ccBrightness); }
    void SetBrightness(int Value) { SetControlValue(ccBrightness, Value); }
    int Contrast() const { return ControlOrMinusOne(ccContrast); }
    void SetContrast(int Value) { SetControlValue(ccContrast, Value); }
    int Hue() const { return ControlOrMinusOne(ccHue); }
    void SetHue(int Value) { SetControlValue(ccHue, Value); }
    int Saturation() const { return ControlOrMinusOne(ccSaturation); }
    void SetSaturation(int Value) { SetControlValue(ccSaturation, Value); }
    int Sharpness() const { return ControlOrMinusOne(ccSharpness); }
    void SetSharpness(int Value) { SetControlValue(ccSharpness, Value); }
    int Gamma() const { return ControlOrMinusOne(ccGamma); }
    void SetGamma(int Value) { SetControlValue(ccGamma, Value); }
    int Backlight() const { return ControlOrMinusOne(ccBacklight); }
    void SetBacklight(int Value) { SetControlValue(ccBacklight, Value); }
    int Roll() const { return ControlOrMinusOne(ccRoll); }
    void SetRoll(int Value) { SetControlValue(ccRoll, Value); }
    int MFFocus() const { return ControlOrMinusOne(ccFocus); }
    void SetMFFocus(int Value) { ManualFocus(Value); }
    // Manual focus at Value (put on the focus step) when it lies within the
    // camera's focus range; nothing otherwise.
    void ManualFocus(int Value) { FBinding.ManualFocus(Value); }
    // One-shot autofocus: manual focus at 250 (fitted to the range), then
    // automatic focus. ADelay is accepted and not used.
    void Autofocus(unsigned /*ADelay*/) { FBinding.Autofocus(); }
    // The focus range and the current focus (the default when the camera
    // cannot tell); the variables stay untouched without a focus control.
    void GetFocusRange(int &Amin, int &Amax, int &Avalue);
    // The camera's controls as a modal dialog at 30, 30 of AOwner, built from
    // what the camera reports; changes reach the running picture at once.
    void ShowDialog_Filter(QWidget *AOwner);
    // The camera's capture modes as a modal dialog: the preview stops, and
    // starts again (in the chosen mode) when the dialog closes.
    void ShowDialog_Pin(QWidget *AOwner);
    // The bound camera's controls (null without a camera or controls).
    TCameraControlsPtr CameraControls() const { return FBinding.Controls(); }

    // ---- events (skipped when unassigned; raised on the UI thread) ----
    TNotifyEvent OnStartPreview;
    TNotifyEvent OnStartRecord;
    TNotifyEvent OnPausePreview;
    TNotifyEvent OnResumePreview;
    TNotifyEvent OnStopPreview;
    TNotifyEvent OnStopRecord;
    TNotifyEvent OnCaptureEvent;
    TOnCapturedEvent OnCapturedEvent;
    TOnSelectionRect OnSelectionRect;
    TNotifyEvent OnChangeFilter;
    TNotifyEvent OnChangeZoom;
    TOnRecording OnRecording;
    TNotifyEvent OnError;

    // ---- what other parts and tests reach (CustomVideoCap.cpp) ----
    // The frame grabber's callback object (its buffer feeds stills and recording).
    TSampleGrabberCB &GrabberCB() { return *FGrabberCB; }
    // The pipeline (null before Init).
    GstElement *Graph() const { return FCaptureGraph->Pipeline(); }
    // The picture window (null while no pipeline is built).
    TVideoWindow *VideoWindow() const { return FVideoWindow; }
    // The cameras come from these providers (the default: V4L2, simulated).
    void SetDeviceProviders(std::vector<TDeviceProviderPtr> providers);
    // Creates each stage of the pipeline; a stage whose factory returns null
    // fails the build as a missing plugin does.
    using TStageFactory = TCaptureGraph::TStageFactory;
    void SetStageFactory(TStageFactory factory);

protected:
    // ---- input and painting (CustomVideoCapGeometry.cpp; event in CustomVideoCapPreview.cpp) ----
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

    // ---- stills and recording (CustomVideoCapStill.cpp) ----
    // A frame was copied into the grabber buffer: stills take it from here.
    // (During a recording the recording takes every frame-ready message.)
    virtual void FrameReadyMessage(TSampleGrabberCB &cb);
    // The recordings: encoder, frame hand-over, clock and state.
    TRecordingSession &RecordSession() { return *FRecordSession; }

private:
    // ---- cameras (CustomVideoCap.cpp) ----
    // Stops the preview and unbinds, then binds `device` (none for null).
    void SelectVideoDevice(const TCaptureDevicePtr &device);
    void ReleaseGraph();
    int ControlOrMinusOne(TCameraControl AControl) const
    {
        return ControlValue(AControl).value_or(-1);
    }
    void ApplyCapability(int i);
    QSize PictureSize() const;
    void Raise(const TNotifyEvent &e);

    // ---- the preview lifecycle (CustomVideoCapPreview.cpp) ----
    void BindCaptureGraph();
    // Builds and plays the pipeline with the component's settings.
    bool RunGraph();
    void RestartPreview();
    TSampleSink *AttachVideoWindow();
    void DetachVideoWindow();
    void FirstFrame();
    void DeviceLost(bool beforeFirstFrame);
    // Stops the pipeline without OnStopPreview; true when a running preview
    // stopped. A recording ends with it.
    bool StopRunning();

    // ---- placement and selection (CustomVideoCapGeometry.cpp) ----
    // The sizes the placement works on now.
    TPictureArea Area() const;
    void SelectionDoneMessage(QEvent *e);

    // ---- stills (CustomVideoCapStill.cpp) ----
    void StillRequestMessage();
    void StillRequestDue(std::int64_t requestedAt);

    // ---- recording (CustomVideoCapRecord.cpp) ----
    void BindRecordSession();

    // ---- parts ----
    std::unique_ptr<TSampleGrabberCB> FGrabberCB = std::make_unique<TSampleGrabberCB>();
    // The pipeline, its stages and run state, and the bound camera (declared
    // after the grabber callback it feeds, so it goes first).
    std::unique_ptr<TCaptureGraph> FCaptureGraph = std::make_unique<TCaptureGraph>(*FGrabberCB);
    // Declared after the grabber callback it reads from, so it goes first.
    std::unique_ptr<TRecordingSession> FRecordSession =
        std::make_unique<TRecordingSession>(*FGrabberCB);
    // The camera list and what the bound camera offers; it binds through
    // the pipeline, so it goes before it.
    TCameraBinding FBinding{*FCaptureGraph};
    TPictureGeometry FGeometry;

    // ---- the widget's own state ----
    QPointer<TVideoWindow> FVideoWindow;
    bool FAspectRatio = false;
    QColor FBackgroundColor = Qt::black;
    bool FEnableMouseEvent = true;
    // A drag selects instead of panning. (The grabber's SelectionMode is
    // the tint, on only while a drag lasts.)
    bool FSelectionMode = false;
    // The still's part of the picture in selection mode, in picture pixels.
    TRect FSelectionRect;
    bool FMouseDown = false;
    TPoint FMouseDownPos;
    QString FRecordFilename;
    int FRecordFrame = 20;
};
