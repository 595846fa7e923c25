#pragma once

// The capture component: the widget in which the live camera picture is
// shown. It lists the cameras, applies a capture mode, runs the capture
// pipeline (TCaptureGraph) and the recordings (TRecordingSession), places the
// picture window, takes stills and raises its events on the UI thread.

#include "capture/component/VideoWindow.h"
#include "capture/devices/CaptureDevice.h"
#include "capture/devices/CaptureTypes.h"
#include "capture/devices/GstHandles.h"
#include "capture/engine/CaptureGraph.h"
#include "capture/engine/RecordingSession.h"
#include "capture/engine/SampleGrabberCB.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TSnapshotButton;

// One entry of the camera list.
class TCapDeviceInfo
{
public:
    TCapDeviceInfo(QString aDeviceName, QString aDeviceNameInList, TCaptureDevicePtr aMoniker)
        : DeviceName(std::move(aDeviceName))
        , DeviceNameInList(std::move(aDeviceNameInList))
        , Moniker(std::move(aMoniker))
    {}
    QString DeviceName;       // as the device reports it
    QString DeviceNameInList; // made unique with " (%d)"
    TCaptureDevicePtr Moniker;
};

// One line of GetVideoSize: a mode text and the index of its first mode.
struct TVideoSizeItem
{
    QString Text;
    int Index = 0;
    friend bool operator==(const TVideoSizeItem &, const TVideoSizeItem &) = default;
};

class TCustomVideoCap : public QWidget
{
    Q_OBJECT
public:
    explicit TCustomVideoCap(QWidget *AOwner = nullptr);
    ~TCustomVideoCap() override;

    // ---- cameras and modes ----
    // Fills the camera list; true when at least one camera was found.
    bool Init();
    QStringList GetVideodeviceList() const;
    int VideoDeviceCount() const { return int(FVideoDevicesList.size()); }
    int VideoDeviceIndex() const;
    void SetVideoDeviceIndex(int Value);
    QString VideoDeviceName() const { return FVideoDeviceName; }
    void SetVideoDeviceName(const QString &Value);
    // The device path of the bound camera (empty when none is bound).
    QString VideoDevicePath() const;
    // Refills the camera list and binds the camera whose device path is
    // APath: a path names the same camera however the others come and go,
    // where an index may not. False when no camera has it ("device not
    // found"; the binding is then unchanged) or when it cannot be bound.
    bool SetVideoDevicePath(const QString &APath);
    int AudioDeviceCount() const;

    // The distinct mode texts of the bound camera, in mode order.
    std::vector<TVideoSizeItem> GetVideoSize() const;
    // Chooses the first mode of that size and codec; false when none.
    bool setVideoSize(int AWidth, int AHeight, const QString &ACodec);
    TVCapMode VCapModes(int i) const { return OnGetVCapModes(i); }
    TVCapMode OnGetVCapModes(int i) const;
    int VCapModeCount() const { return int(FVStreamConf.size()); }
    // The capture mode in use as the camera sends it, before any rotation
    // (zero sizes with no camera bound); VideoCodec names its codec.
    TVCapMode CaptureMode() const { return FCaptureGraph->CurrentFormat().Mode; }
    // Picture size after rotation; 0 with no camera bound.
    int VideoWidth() const;
    int VideoHeight() const;
    QString VideoCodec() const { return FVideoCodec; }

    // ---- preview ----
    bool StartPreview();
    void PausePreview();
    void ResumePreview();
    void StopPreview();
    bool Previewing() const { return FCaptureGraph->Running(); }
    bool Recording() const { return FRecordSession->Active(); }
    TVideoRotationType VideoRotate() const { return FVideoRotate; }
    void SetVideoRotate(TVideoRotationType Value);
    bool AspectRatio() const { return FAspectRatio; }
    void SetAspectRatio(bool Value);
    TPixelFormat BitmapPixelFormat() const { return FPixelFormat; }
    void SetBitmapPixelFormat(TPixelFormat Value) { FPixelFormat = Value; }

    // ---- picture effects ----
    bool Horizontal() const { return FFlipHorizontal; }
    void SetHorizontal(bool Value);
    bool Vertical() const { return FFlipVertical; }
    void SetVertical(bool Value);
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value);
    bool InvertColor() const { return FInvertColor; }
    void SetInvertColor(bool Value);

    // ---- placement of the picture ----
    float Zoom() const { return FZoom; }
    void SetZoom(float Value);
    bool WideMOde() const { return FWideMode; }
    void SetWideMOde(bool Value);
    TPoint Location() const { return FVideoPoint; }
    void SetLocation(TPoint Value) { FVideoPoint = Value; }
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

    // ---- stills ----
    // Ask for a still of the next frame; it arrives through OnCapturedEvent
    // (cropped to ARect in selection mode). Nothing happens without a
    // pipeline.
    void CaptureVideo();
    void CaptureRect(const TRect &ARect);
    // What the control shows now (picture, zoom, effects, background), as a
    // 24-bit image of the control's size.
    QImage CaptureWindow();

    // The lower limit of the zoom, shared by every component.
    static float MinZoom;

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
    std::optional<int> ControlValue(TCameraControl AControl) const;
    // The value written (fitted), or absent when nothing was written.
    std::optional<int> SetControlValue(TCameraControl AControl, int Value);
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
    void ManualFocus(int Value);
    // One-shot autofocus: manual focus at 250 (fitted to the range), then
    // automatic focus. ADelay is accepted and not used.
    void Autofocus(unsigned ADelay);
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
    TCameraControlsPtr CameraControls() const { return FControls; }

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

    // ---- what other parts and tests reach ----
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
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

    // A frame was copied into the grabber buffer: stills take it from here.
    // (During a recording the recording takes every frame-ready message.)
    virtual void FrameReadyMessage(TSampleGrabberCB &cb);

    // The recordings: encoder, frame hand-over, clock and state.
    TRecordingSession &RecordSession() { return *FRecordSession; }

    // ---- state ----
    bool FFlipHorizontal = false, FFlipVertical = false, FGrayscale = false, FInvertColor = false;
    float FZoom = 1.0f;
    TVideoRotationType FVideoRotate = vrtNone;
    bool FAspectRatio = false;
    bool FMouseDown = false;
    TPoint FMouseDownPos;
    std::unique_ptr<TSampleGrabberCB> FGrabberCB = std::make_unique<TSampleGrabberCB>();
    // The pipeline, its stages and run state, and the bound camera (declared
    // after the grabber callback it feeds, so it goes first).
    std::unique_ptr<TCaptureGraph> FCaptureGraph = std::make_unique<TCaptureGraph>(*FGrabberCB);
    QPointer<TVideoWindow> FVideoWindow;
    QString FVideoDeviceName;
    std::vector<std::unique_ptr<TCapDeviceInfo>> FVideoDevicesList;
    TPixelFormat FPixelFormat = pf24bit;
    std::vector<TDeviceMode> FVStreamConf; // modes of the bound camera
    TCaptureDevicePtr FmVideo;             // the camera to bind
    TPoint FVideoPoint;
    bool FEnableMouseEvent = true;
    bool FSelectionMode = false;
    TRect FSelectionRect;
    QString FVideoCodec;
    bool FWideMode = false;
    QColor FBackgroundColor = Qt::black;
    QString FRecordFilename;
    int FRecordFrame = 20;

private:
    void SelectVideoDevice();
    void ReleaseGraph();
    int ControlOrMinusOne(TCameraControl AControl) const
    {
        return ControlValue(AControl).value_or(-1);
    }
    void ApplyCapability(int i);
    // The preview lifecycle (CustomVideoCapPreview.cpp).
    void BindCaptureGraph();
    // Builds and plays the pipeline with the component's settings.
    bool RunGraph();
    void RestartPreview();
    TSampleSink *AttachVideoWindow();
    void DetachVideoWindow();
    void FirstFrame();
    void DeviceLost(bool beforeFirstFrame);
    void Raise(const TNotifyEvent &e);
    // Placement, selection and stills (CustomVideoCapGeometry.cpp,
    // CustomVideoCapStill.cpp).
    int ScaledWidth() const;
    int ScaledHeight() const;
    TRect ToPicturePixels(const TRect &r) const;
    void SelectionDoneMessage(QEvent *e);
    void StillRequestMessage();
    void StillRequestDue(std::int64_t requestedAt);
    void BindSnapshotButton();
    // Recording (CustomVideoCapRecord.cpp).
    void BindRecordSession();
    // Stops the pipeline without OnStopPreview; true when a running preview
    // stopped. A recording ends with it.
    bool StopRunning();

    std::vector<TDeviceProviderPtr> FProviders;
    // The bound camera's snapshot button, when it has one that can be read.
    std::unique_ptr<TSnapshotButton> FSnapshotButton;
    // The bound camera's controls.
    TCameraControlsPtr FControls;
    // Declared after the grabber callback it reads from, so it goes first.
    std::unique_ptr<TRecordingSession> FRecordSession =
        std::make_unique<TRecordingSession>(*FGrabberCB);
};
