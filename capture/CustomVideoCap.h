#pragma once

// The capture component: the widget in which the live camera picture is
// shown. It lists the cameras, applies a capture mode, builds and runs the
// GStreamer pipeline (source -> tee -> decoder -> rotation -> converter ->
// grabber -> renderer), places the picture window and raises its events on
// the UI thread.

#include "capture/CaptureDevice.h"
#include "capture/CaptureTypes.h"
#include "capture/GstHandles.h"
#include "capture/SampleGrabberCB.h"
#include "capture/VideoWindow.h"

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
class TFFEncoder;
class TFrameInputAdapter;
struct TInputFrameInfo;
struct TEncoderRequirements;

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
    // Picture size after rotation; 0 with no camera bound.
    int VideoWidth() const;
    int VideoHeight() const;
    QString VideoCodec() const { return FVideoCodec; }

    // ---- preview ----
    bool StartPreview();
    void PausePreview();
    void ResumePreview();
    void StopPreview();
    bool Previewing() const { return FPreviewing; }
    bool Recording() const { return FRecording; }
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
    GstElement *Graph() const { return FGraph.get(); }
    // The picture window (null while no pipeline is built).
    TVideoWindow *VideoWindow() const { return FVideoWindow; }
    // The cameras come from these providers (the default: V4L2, simulated).
    void SetDeviceProviders(std::vector<TDeviceProviderPtr> providers);
    // Creates each stage of the pipeline; a stage whose factory returns null
    // fails the build as a missing plugin does.
    using TStageFactory = std::function<GstElement *(const char *factory, const char *name)>;
    void SetStageFactory(TStageFactory factory);

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;

    // A frame was copied into the grabber buffer (WM_FRAMEREADY): stills and
    // recording take it from here.
    // (During a recording the recording takes every frame-ready message.)
    virtual void FrameReadyMessage(TSampleGrabberCB &cb);

    // Creates the frame input adapter and the encoder and checks the FFmpeg
    // libraries; the result becomes FFMpegLoaded.
    bool LoadEncoder(const TEncoderRequirements &requirements);

    // ---- state ----
    bool FFlipHorizontal = false, FFlipVertical = false, FGrayscale = false, FInvertColor = false;
    float FZoom = 1.0f;
    TVideoRotationType FVideoRotate = vrtNone;
    bool FPreviewing = false, FGraphBuilt = false;
    bool FAspectRatio = false;
    bool FMouseDown = false;
    TPoint FMouseDownPos;
    TGstRef<GstElement> FGraph; // the pipeline
    std::unique_ptr<TSampleGrabberCB> FGrabberCB = std::make_unique<TSampleGrabberCB>();
    TGstRef<GstElement> FSmartTee, FMCMMjpegVideoDecoder, FRotateFilter, FColorSpaceConvert,
        FGrabber, FRenderFilter;
    TGstRef<GstPad> FPreviewPin; // the tee's output to the decoder
    QPointer<TVideoWindow> FVideoWindow;
    bool FMediaEvent = false;  // bus messages are posted to the component
    TGstRef<GstElement> FVCap; // the camera's source, kept between runs
    QString FVideoDeviceName;
    std::vector<std::unique_ptr<TCapDeviceInfo>> FVideoDevicesList;
    TPixelFormat FPixelFormat = pf24bit;
    std::vector<TDeviceMode> FVStreamConf; // modes of the bound camera
    TCaptureDevicePtr FmVideo;             // the camera to bind
    TCaptureDevicePtr FBoundDevice;        // the camera bound
    TDeviceMode FCurrentFormat;            // the format applied to the source
    bool FFirstFrame = true;
    TPoint FVideoPoint;
    bool FEnableMouseEvent = true;
    bool FSelectionMode = false;
    TRect FSelectionRect;
    bool FRecording = false;
    QString FVideoCodec;
    bool FWideMode = false;
    QColor FBackgroundColor = Qt::black;
    // Recording (the encoder is declared after the adapter it reads from, so it
    // is destroyed first).
    bool FFMpegLoaded = false;
    std::unique_ptr<TFrameInputAdapter> FFIA;
    std::unique_ptr<TFFEncoder> FFEncoder;
    bool FFrameFlag = false;
    QString FRecordFilename;
    std::int64_t FRecordTime = 0; // monotonic clock, ms, at the first frame request; 0 before
    int FRecordFrame = 20;

private:
    void SelectVideoDevice();
    void ReleaseGraph();
    int ControlOrMinusOne(TCameraControl AControl) const
    {
        return ControlValue(AControl).value_or(-1);
    }
    void ApplyCapability(int i);
    bool BuildGraph();
    void TearDownGraph();
    void RestartPreview();
    void ApplyRotation(TVideoRotationType rotation);
    bool AttachVideoWindow();
    TGstRef<GstElement> MakeStage(const char *factory, const char *name);
    bool AddStage(const TGstRef<GstElement> &stage);
    bool ConnectStages(GstElement *from, GstPad *fromPad, GstElement *to);
    void RemoveStages();
    bool Fail(const char *text);
    void HandleGraphEvents();
    void HandleFrameArrived();
    void DeviceLost(const QString &why);
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
    bool BuildRecordTask();
    int ReadRecordFrame(TFrameInputAdapter *Sender, std::uint8_t *AData,
                        TInputFrameInfo *AFrameInfo);
    bool RecordFrameReady(TSampleGrabberCB &cb);
    void EndRecordEncode();
    // Builds the recording's encode task once the previous encode has
    // finished its file (on FRecordTaskTimer); until then the recording runs
    // without it.
    void DeferRecordTask();
    void StartDeferredRecordTask();
    // Ends a recording whose pipeline goes on running: OnStopRecord, the
    // encode, the state.
    void EndRecording();
    void RecordEncodeFinished(int session);

    static GstBusSyncReply OnBusMessage(GstBus *bus, GstMessage *message, gpointer self);

    std::vector<TDeviceProviderPtr> FProviders;
    TStageFactory FStageFactory;
    // The bound camera's snapshot button, when it has one that can be read.
    std::unique_ptr<TSnapshotButton> FSnapshotButton;
    // The bound camera's controls.
    TCameraControlsPtr FControls;
    // A graph-event message is on its way.
    TPostedFlagPtr FGraphEventPending = std::make_shared<TPostedFlag>();
    int FRecordSession = 0; // counts the encodes started
    // A recording started right after a stop waits here for the previous
    // encode, until FRecordTaskDue (monotonic ms).
    QTimer FRecordTaskTimer;
    std::int64_t FRecordTaskDue = 0;
};
