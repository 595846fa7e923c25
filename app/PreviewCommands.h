#pragma once

// The commands of the preview menu and the window's answers to the capture
// component's events. The main window owns one object, hands it every click
// of a preview button by the button's tag, has it open the camera on the
// open-camera message, and keeps out of the component's events: the
// constructor attaches OnStartPreview, OnCaptureEvent, OnCapturedEvent,
// OnStartRecord, OnStopRecord, OnChangeFilter, OnChangeZoom, OnRecording and
// OnError (the destructor detaches them when the component still exists).
// The object owns what the preview work area shows (PreviewType); the window
// asks it.
//
// Everything runs on the UI thread and never waits: the pauses around a still
// are timers, and a still that does not come within StillTimeoutMs gives the
// window back.

#include "app/MainView.h"
#include "app/MenuTags.h"
#include "capture/devices/CaptureTypes.h"
#include "support/Common.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class TCustomVideoCap;
class TConfig;
class TLanguage;

class TPreviewCommands : public QObject
{
public:
    // How long the hidden full-screen menu is given to leave the picture
    // before a still is asked for.
    static constexpr int FullScreenCaptureDelayMs = 100;
    // A still that has not arrived this long after it was asked for is given
    // up: the notice goes and, in full screen, the menu comes back.
    static constexpr int StillTimeoutMs = 3000;
    // What the autofocus command gives the camera to settle.
    static constexpr unsigned AutofocusDelayMs = 5000;

    TPreviewCommands(TCustomVideoCap &AVideoCap, TConfig &AConfig, const TLanguage &ALanguage,
                     IMainView &AView);
    ~TPreviewCommands() override;
    TPreviewCommands(const TPreviewCommands &) = delete;
    TPreviewCommands &operator=(const TPreviewCommands &) = delete;

    // ---- the menu, the work area and the status (PreviewCommands.cpp) ----

    // The click handler shared by the preview buttons: runs the command of
    // ATag; a value without a command does nothing.
    void PreviewMenuClick(TPreviewTag ATag);

    // What the preview work area shows; the live picture is paused for
    // cptImage and resumed otherwise, and the buttons follow.
    void SetPreviewType(TCustomPreviewType Value);
    TCustomPreviewType PreviewType() const { return FPreviewType; }

    // The capture size of the live picture outside recordings, shown in the
    // status strip.
    void SetPreviewSize(const TResolutionInfo &Info);
    const TResolutionInfo &PreviewSize() const { return FPreviewSize; }

    // The wide picture on or off (button images, component, placement).
    void SetWide(bool Value);

    // ---- opening the camera and starting the picture (PreviewCamera.cpp) ----

    // The open-camera message's work: a running recording is finished, the
    // view binds the chosen camera, and the live picture starts in the
    // configured mode with the configured rotation (StartInMode; when
    // nothing starts, the status shows the mode the device keeps); then the
    // configured brightness and the normal (not wide) picture. False, with
    // the waiting notice up and nothing started, when the view cannot bind
    // a camera.
    bool OpenCamera();

    // Starts the live picture in PreviewSize with the configured rotation,
    // falling back as StartInMode does. False when nothing starts.
    bool RestorePreview();

    // ---- stills, recording and the resolution (PreviewCapture.cpp) ----

    // A line of the resolution popup was chosen (its mode text).
    void ResolutionItemClick(const QString &ATagText);

    // A still was asked for and has neither arrived nor been given up.
    bool StillPending() const { return FStillPending; }

private:
    // ---- the commands, one per tag (PreviewCommands.cpp; Capture, Record
    // and Resolution in PreviewCapture.cpp) ----
    void Load();
    void Capture();
    void Record();
    void Autofocus();
    void FullScreen();
    void InvertColor();
    void GrayScale();
    void FlipVert();
    void FlipHorz();
    void Rotate();
    void Resolution();
    void ZoomIn();
    void ZoomOut();
    void Wide();
    void Back();
    void Setting();
    void Camera();

    void Zoom(double ALiveStep, double AImageStep);
    void UpdatePreviewTypeControls();
    // A message shown once the current event handler has returned, so no
    // modal loop runs inside the capture component's event.
    void ShowInformationLater(const QString &AText);
    void AttachEvents();

    // ---- starting a mode (PreviewCamera.cpp) ----

    // Starts the live picture in AWanted with the configured rotation. A
    // mode counts only when the picture then runs; when AWanted does not, the
    // first MJPEG mode of the camera's list that does is taken (and becomes
    // the configured format), and when no mode of the list can even be
    // applied, the mode the device keeps. The mode that runs becomes the
    // preview size. False when nothing runs.
    bool StartInMode(const TResolutionInfo &AWanted);
    // The mode the camera delivers now, before rotation.
    TResolutionInfo ModeInUse() const;
    // The configured brightness, when the settings file has one and the
    // picture runs.
    void ApplyBrightness();

    // ---- stills, recording and the resolution (PreviewCapture.cpp) ----
    void AskForStill();
    void ArmStillTimeout(int AMs);
    void EndStill();
    void SaveStill(const QImage &AImage);
    void StartRecording();
    void StopRecording();
    // Stops the recording as our own stop: nothing restarts the picture
    // on its stop event.
    void FinishRecording();
    void RecordingEndedElsewhere();
    void UpdateRecordControls();
    void ResolutionAccepted();
    void ResolutionRefused(const QString &ATagText);

    // ---- the capture component's events (PreviewCommands.cpp; the still's
    // and the recording's in PreviewCapture.cpp) ----
    void StartPreviewEvent();
    void CaptureEvent();
    void CapturedEvent(const QImage &Image);
    void StartRecordEvent();
    void StopRecordEvent();
    void RecordingEvent(std::int64_t ATimeStamp);
    void ChangeFilterEvent();
    void ChangeZoomEvent();
    void ErrorEvent();

    TCustomVideoCap &FVideoCap;
    QPointer<TCustomVideoCap> FVideoCapAlive;
    TConfig &FConfig;
    const TLanguage &FLanguage;
    IMainView &FView;

    TCustomPreviewType FPreviewType = cptNone;
    TResolutionInfo FPreviewSize;
    QString FRecordClock = QStringLiteral("00:00:00");
    bool FStillPending = false;
    bool FStoppingRecord = false; // our own StopRecord is running
    // A chosen mode that started and has not yet shown its first frame.
    struct TResolutionTrial
    {
        bool Active = false;
        TResolutionInfo Chosen;
        QString TagText;
    } FResolutionTrial;
    QTimer FCaptureDelay; // full screen: the menu leaves first
    QTimer FStillTimeout;
};
