// The preview commands that change what the camera delivers: stills,
// recording and the capture resolution. The live picture that each needs
// again is restarted by RestorePreview (PreviewCamera.cpp).
#include "app/AppLog.h"
#include "app/FileNames.h"
#include "app/PreviewCommands.h"
#include "app/PreviewRules.h"
#include "capture/component/CustomVideoCap.h"
#include "support/Config.h"
#include "support/Language.h"

#include <QImageWriter>
#include <QSaveFile>
#include <array>

namespace {

// The controls a recording locks (the record button, settings, the preview
// tab and the window buttons stay usable).
const std::array<TControlId, 14> RecordLockedControls = {
    TPreviewTag::Load,       TPreviewTag::InvertColor, TPreviewTag::GrayScale,
    TPreviewTag::FlipVert,   TPreviewTag::FlipHorz,    TPreviewTag::Rotate,
    TPreviewTag::Resolution, TPreviewTag::AutoFocus,   TPreviewTag::FullScreen,
    TPreviewTag::Wide,       TPreviewTag::Capture,     TPreviewTag::ZoomIn,
    TPreviewTag::ZoomOut,    TTabTag::Drawing};

// Writes the still as a JPEG file; the file appears whole or not at all.
bool WriteJpeg(const QImage &AImage, const QString &AFileName, QString &AError)
{
    QSaveFile file(AFileName);
    if (!file.open(QIODevice::WriteOnly)) {
        AError = file.errorString();
        return false;
    }
    QImageWriter writer(&file, "jpeg");
    if (!writer.write(AImage)) {
        AError = writer.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        AError = file.errorString();
        return false;
    }
    return true;
}

} // namespace

// ---- stills ----

void TPreviewCommands::Capture()
{
    // One still at a time; the button gives no second one while it is on its way.
    if (FStillPending || FCaptureDelay.isActive())
        return;
    if (FView.FullScreen()) {
        FView.SetMenuVisible(false);
        FCaptureDelay.start();
        return;
    }
    AskForStill();
}

void TPreviewCommands::AskForStill()
{
    FView.ShowCapturing(true);
    FStillPending = true;
    ArmStillTimeout(StillTimeoutMs);
    FVideoCap.CaptureVideo();
}

void TPreviewCommands::ArmStillTimeout(int AMs)
{
    FStillTimeout.start(AMs);
}

void TPreviewCommands::EndStill()
{
    FStillTimeout.stop();
    FStillPending = false;
    if (FView.FullScreen())
        FView.SetMenuVisible(true);
    FView.ShowCapturing(false);
}

void TPreviewCommands::CaptureEvent()
{
    if (FPreviewType != cptPreview)
        return;
    // The camera's snapshot button: the component asks for the still itself
    // after its delay.
    FView.ShowCapturing(true);
    FStillPending = true;
    ArmStillTimeout(TCustomVideoCap::SnapshotButtonDelayMs + StillTimeoutMs);
}

void TPreviewCommands::CapturedEvent(const QImage &Image)
{
    if (FPreviewType != cptPreview)
        return;
    SaveStill(Image);
    EndStill();
}

void TPreviewCommands::SaveStill(const QImage &AImage)
{
    const QString name = GetImageFileName();
    QString error;
    if (WriteJpeg(AImage, name, error))
        return;
    qCWarning(lcApp).noquote() << "the still cannot be written to" << name << ":" << error;
    ShowInformationLater(FLanguage.Msg.m_SaveError);
}

// ---- recording ----

void TPreviewCommands::Record()
{
    if (FVideoCap.Recording())
        StopRecording();
    else if (FVideoCap.Previewing())
        StartRecording();
    UpdateRecordControls();
}

void TPreviewCommands::StartRecording()
{
    FVideoCap.StopPreview();
    FVideoCap.SetRecordFilename(GetMovieFileName());
    const bool started = FVideoCap.setVideoSize(FConfig.RecordSize.cx, FConfig.RecordSize.cy,
                                                QStringLiteral("MJPG")) &&
                         FVideoCap.StartRecord();
    if (started)
        return;
    qCWarning(lcApp).noquote() << "the recording into" << FVideoCap.RecordFilename()
                               << "did not start";
    RestorePreview();
    FView.ShowInformation(FLanguage.Msg.m_RecordError);
}

void TPreviewCommands::StopRecording()
{
    FinishRecording();
    RestorePreview();
}

void TPreviewCommands::FinishRecording()
{
    FStoppingRecord = true;
    FVideoCap.StopRecord();
    FStoppingRecord = false;
}

void TPreviewCommands::RecordingEndedElsewhere()
{
    // The camera was lost or the encode ended on its own: the buttons come
    // back and the live picture restarts in its own mode when it can.
    if (FVideoCap.Recording())
        return;
    UpdateRecordControls();
    RestorePreview();
}

void TPreviewCommands::UpdateRecordControls()
{
    const bool recording = FVideoCap.Recording();
    for (const TControlId &control : RecordLockedControls)
        FView.SetButtonEnabled(control, !recording);
    // Capture and wide are still only for the live picture alone.
    if (!recording)
        UpdatePreviewTypeControls();
    FView.SetButtonPressed(TPreviewTag::Record, recording);
    FView.SetButtonImages(TPreviewTag::Record, recording
                                                   ? QStringLiteral("RES_PREVIEW_MENU_STOP_")
                                                   : QStringLiteral("RES_PREVIEW_MENU_RECORDING_"));
}

void TPreviewCommands::StartRecordEvent()
{
    FVideoCap.Centre();
    FView.ShowWaiting(false);
    FRecordClock = RecordClockText(0);
    FView.SetRecordTime(FRecordClock, true);
}

void TPreviewCommands::StopRecordEvent()
{
    FView.SetRecordTime(FRecordClock, false);
    if (!FStoppingRecord)
        QTimer::singleShot(0, this, &TPreviewCommands::RecordingEndedElsewhere);
}

void TPreviewCommands::RecordingEvent(std::int64_t ATimeStamp)
{
    // A frame request that comes in after the stop does not show the clock again.
    if (!FVideoCap.Recording())
        return;
    FRecordClock = RecordClockText(ATimeStamp);
    FView.SetRecordTime(FRecordClock, true);
}

// ---- the capture resolution ----

void TPreviewCommands::Resolution()
{
    const TVCapMode mode = FVideoCap.CaptureMode();
    FView.ShowResolutionPopup(
        ResolutionItems(FVideoCap.GetVideoSize(), mode.Width, mode.Height, FVideoCap.VideoCodec()),
        [this](const QString &ATagText) { ResolutionItemClick(ATagText); });
}

void TPreviewCommands::ResolutionItemClick(const QString &ATagText)
{
    FView.ShowWaiting(true);
    FResolutionTrial = {};
    const TResolutionInfo chosen = ParseResolution(ATagText);
    FVideoCap.StopPreview();
    const bool started = !chosen.Codec.isEmpty() &&
                         FVideoCap.setVideoSize(chosen.Width, chosen.Height, chosen.Codec) &&
                         FVideoCap.StartPreview();
    if (!started) {
        ResolutionRefused(ATagText);
        return;
    }
    // A camera may take the mode and fail once it streams: the mode is kept
    // when its first frame arrives (StartPreviewEvent), not before.
    FResolutionTrial = {true, chosen, ATagText};
}

void TPreviewCommands::ResolutionAccepted()
{
    const TResolutionInfo chosen = FResolutionTrial.Chosen;
    FResolutionTrial = {};
    FConfig.VideoDevice.Format = ResolutionFormatText(chosen);
    FConfig.Save();
    SetPreviewSize(chosen);
}

void TPreviewCommands::ResolutionRefused(const QString &ATagText)
{
    // The previous mode comes back, in the picture and in the status.
    FResolutionTrial = {};
    qCWarning(lcApp).noquote() << "the camera refuses" << ATagText;
    RestorePreview();
    FView.ShowInformation(FLanguage.Msg.m_NotSupportRes);
}
