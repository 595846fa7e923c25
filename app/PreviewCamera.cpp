// Opening the camera and starting the live picture in a mode, with the one
// fallback that every start uses: the mode wanted, else the first MJPEG mode
// of the camera's list that runs, else the mode the device keeps.
#include "app/AppLog.h"
#include "app/PreviewCommands.h"
#include "app/PreviewRules.h"
#include "capture/component/CustomVideoCap.h"
#include "support/Config.h"

namespace {

bool SameMode(const TResolutionInfo &A, const TResolutionInfo &B)
{
    return A.Width == B.Width && A.Height == B.Height && A.Codec == B.Codec;
}

} // namespace

bool TPreviewCommands::OpenCamera()
{
    // A reopen during a recording finishes the recording first: the file
    // stays playable and the buttons return to their state. The picture is
    // started below, not by the stop.
    if (FVideoCap.Recording()) {
        FinishRecording();
        UpdateRecordControls();
    }
    FVideoCap.StopPreview();
    const bool bound = FView.BindCamera();
    FView.ShowWaiting(true);
    if (!bound)
        return false;
    // When nothing runs, the status shows the mode the device kept.
    if (!StartInMode(ParseResolution(FConfig.VideoDevice.Format)))
        SetPreviewSize(ModeInUse());
    FView.ShowWaiting(false);
    ApplyBrightness();
    SetWide(false);
    return true;
}

bool TPreviewCommands::RestorePreview()
{
    return StartInMode(FPreviewSize);
}

bool TPreviewCommands::StartInMode(const TResolutionInfo &AWanted)
{
    const auto rotation = TVideoRotationType(FConfig.VideoRotate);
    bool applied = false; // a mode of the list was taken by the camera
    const auto runs = [&](const TResolutionInfo &AMode) {
        if (AMode.Codec.isEmpty() ||
            !FVideoCap.setVideoSize(AMode.Width, AMode.Height, AMode.Codec))
            return false;
        applied = true;
        // Setting the rotation builds the pipeline again and starts it.
        FVideoCap.SetVideoRotate(rotation);
        return FVideoCap.Previewing();
    };
    if (runs(AWanted)) {
        SetPreviewSize(AWanted);
        return true;
    }
    // A camera may take a mode and refuse to start in it: the next MJPEG
    // mode is tried then, the one that failed is not tried twice.
    for (const TVideoSizeItem &item : FVideoCap.GetVideoSize()) {
        const TResolutionInfo mode = ParseResolution(item.Text);
        if (mode.Codec != QLatin1String("MJPG") || SameMode(mode, AWanted) || !runs(mode))
            continue;
        FConfig.VideoDevice.Format = ResolutionFormatText(mode);
        SetPreviewSize(mode);
        return true;
    }
    // No mode of the list could even be applied (a camera without MJPEG
    // modes): the device still has a mode of its own to start in.
    if (!applied) {
        FVideoCap.SetVideoRotate(rotation);
        if (FVideoCap.Previewing()) {
            SetPreviewSize(ModeInUse());
            return true;
        }
    }
    qCWarning(lcApp) << "the live picture does not start in any mode";
    return false;
}

TResolutionInfo TPreviewCommands::ModeInUse() const
{
    const TVCapMode mode = FVideoCap.CaptureMode();
    return {mode.Width, mode.Height, FVideoCap.VideoCodec()};
}

void TPreviewCommands::ApplyBrightness()
{
    // Only a brightness the settings file holds reaches the camera; without
    // it the camera keeps its own.
    if ((FVideoCap.Previewing() || FVideoCap.Recording()) && FConfig.VideoProperty.HasBrightness)
        FVideoCap.SetBrightness(FConfig.VideoProperty.Brightness);
}
