// The preview menu: dispatch by tag, the preview work area, the picture
// effects, zoom, wide, load, settings and camera, and the status texts that
// follow the capture component's events. Stills, recording and the resolution
// list are in PreviewCapture.cpp.
#include "app/PreviewCommands.h"

#include "app/AppLog.h"
#include "app/PreviewRules.h"
#include "capture/component/CustomVideoCap.h"
#include "support/Config.h"
#include "support/Language.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QImageReader>
#include <QUrl>
#include <array>
#include <utility>

namespace {

using TCommand = void (TPreviewCommands::*)();

// The controls that take the live picture: usable only while it is shown.
const std::array LiveControls = {"btnPreview_Record",      "btnPreview_AutoFocus",
                                 "btnPreview_InvertColor", "btnPreview_GrayScale",
                                 "btnPreview_FlipVert",    "btnPreview_FlipHorz",
                                 "btnPreview_Rotate",      "btnPreview_Resolution"};

} // namespace

TPreviewCommands::TPreviewCommands(TCustomVideoCap &AVideoCap, TConfig &AConfig,
                                   const TLanguage &ALanguage, IMainView &AView)
    : FVideoCap(AVideoCap)
    , FVideoCapAlive(&AVideoCap)
    , FConfig(AConfig)
    , FLanguage(ALanguage)
    , FView(AView)
{
    FCaptureDelay.setSingleShot(true);
    FCaptureDelay.setInterval(FullScreenCaptureDelayMs);
    connect(&FCaptureDelay, &QTimer::timeout, this, &TPreviewCommands::AskForStill);
    FStillTimeout.setSingleShot(true);
    connect(&FStillTimeout, &QTimer::timeout, this, [this] {
        qCWarning(lcApp) << "no still arrived within" << StillTimeoutMs << "ms: given up";
        EndStill();
    });
    AttachEvents();
}

TPreviewCommands::~TPreviewCommands()
{
    // The owner may have freed the component first; it then raises nothing more.
    if (!FVideoCapAlive)
        return;
    FVideoCap.OnStartPreview = FVideoCap.OnCaptureEvent = FVideoCap.OnStartRecord =
        FVideoCap.OnStopRecord = FVideoCap.OnChangeFilter = FVideoCap.OnChangeZoom =
            FVideoCap.OnError = nullptr;
    FVideoCap.OnCapturedEvent = nullptr;
    FVideoCap.OnRecording = nullptr;
}

void TPreviewCommands::PreviewMenuClick(int ATag)
{
    // No button carries tag 11.
    static const std::array<std::pair<int, TCommand>, 17> Commands = {{
        {1, &TPreviewCommands::Load},
        {2, &TPreviewCommands::Capture},
        {3, &TPreviewCommands::Record},
        {4, &TPreviewCommands::Autofocus},
        {5, &TPreviewCommands::FullScreen},
        {6, &TPreviewCommands::InvertColor},
        {7, &TPreviewCommands::GrayScale},
        {8, &TPreviewCommands::FlipVert},
        {9, &TPreviewCommands::FlipHorz},
        {10, &TPreviewCommands::Rotate},
        {12, &TPreviewCommands::Resolution},
        {13, &TPreviewCommands::ZoomIn},
        {14, &TPreviewCommands::ZoomOut},
        {15, &TPreviewCommands::Wide},
        {16, &TPreviewCommands::Back},
        {17, &TPreviewCommands::Setting},
        {18, &TPreviewCommands::Camera},
    }};
    for (const auto &[tag, command] : Commands)
        if (tag == ATag) {
            (this->*command)();
            return;
        }
}

// ---- the preview work area ----

void TPreviewCommands::SetPreviewType(TCustomPreviewType Value)
{
    if (Value == FPreviewType)
        return;
    if (Value == cptPreview || Value == cptSplit)
        FVideoCap.ResumePreview();
    else if (Value == cptImage)
        FVideoCap.PausePreview();
    FView.SetPreviewLayout(Value);
    FPreviewType = Value;
    UpdatePreviewTypeControls();
    if (FVideoCap.Previewing())
        FVideoCap.ResizeWindow();
}

void TPreviewCommands::UpdatePreviewTypeControls()
{
    const bool video = FPreviewType != cptImage;
    for (const char *name : LiveControls)
        FView.SetButtonEnabled(QLatin1String(name), video);
    FView.SetButtonEnabled(QStringLiteral("btnPreview_Back"), FPreviewType != cptPreview);
    FView.SetButtonEnabled(QStringLiteral("btnPreview_Wide"), FPreviewType == cptPreview);
    FView.SetButtonEnabled(QStringLiteral("btnPreview_Capture"), FPreviewType == cptPreview);
}

void TPreviewCommands::SetPreviewSize(const TResolutionInfo &Info)
{
    FPreviewSize = Info;
    FView.SetResolutionText(ResolutionText(Info));
}

void TPreviewCommands::SetWide(bool Value)
{
    FView.SetButtonImages(QStringLiteral("btnPreview_Wide"),
                          Value ? QStringLiteral("RES_PREVIEW_MENU_4_3_")
                                : QStringLiteral("RES_PREVIEW_MENU_16_9_"));
    FVideoCap.SetWideMOde(Value);
    FVideoCap.ResizeWindow();
}

// ---- commands ----

void TPreviewCommands::Load()
{
    const QString file = FView.OpenFileDialog(LoadDialogFilter());
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    switch (LoadKindOf(file)) {
    case TLoadKind::Picture: {
        QImageReader reader(file);
        const QImage picture = reader.read();
        if (picture.isNull()) {
            // The live picture stays; the user learns why nothing changed.
            qCWarning(lcApp).noquote()
                << "the picture" << file << "cannot be read:" << reader.errorString();
            FView.ShowInformation(FLanguage.Msg.m_LoadError);
            return;
        }
        FView.ShowImage(picture);
        SetPreviewType(cptImage);
        break;
    }
    case TLoadKind::Movie:
        // The desktop's player plays it; its answer is not ours to check.
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
        break;
    case TLoadKind::None:
        break;
    }
}

void TPreviewCommands::Autofocus()
{
    FVideoCap.Autofocus(AutofocusDelayMs);
}

void TPreviewCommands::FullScreen()
{
    FView.SetFullScreen(!FView.FullScreen());
    FView.SetButtonPressed(QStringLiteral("btnPreview_FullScreen"), FView.FullScreen());
}

void TPreviewCommands::InvertColor()
{
    FVideoCap.SetInvertColor(!FVideoCap.InvertColor());
}

void TPreviewCommands::GrayScale()
{
    FVideoCap.SetGrayscale(!FVideoCap.Grayscale());
}

void TPreviewCommands::FlipVert()
{
    FVideoCap.SetVertical(!FVideoCap.Vertical());
}

void TPreviewCommands::FlipHorz()
{
    FVideoCap.SetHorizontal(!FVideoCap.Horizontal());
}

void TPreviewCommands::Rotate()
{
    const TVideoRotationType next = NextRotation(FVideoCap.VideoRotate());
    FVideoCap.SetVideoRotate(next);
    FVideoCap.Centre();
    FConfig.VideoRotate = int(next);
    FConfig.Save();
}

void TPreviewCommands::ZoomIn()
{
    Zoom(0.1, ImageScaleStep);
}

void TPreviewCommands::ZoomOut()
{
    Zoom(-0.1, -ImageScaleStep);
}

void TPreviewCommands::Zoom(double ALiveStep, double AImageStep)
{
    if (FPreviewType == cptPreview || FPreviewType == cptSplit)
        FVideoCap.SetZoom(float(double(FVideoCap.Zoom()) + ALiveStep));
    else if (FPreviewType == cptImage)
        FView.SetImageScale(StepImageScale(FView.ImageScale(), AImageStep));
}

void TPreviewCommands::Wide()
{
    SetWide(!FVideoCap.WideMOde());
}

void TPreviewCommands::Back()
{
    SetPreviewType(cptPreview);
}

void TPreviewCommands::Setting()
{
    FView.ShowSettingDialog();
}

void TPreviewCommands::Camera()
{
    if (FView.ChooseCamera())
        FView.PostOpenCamera();
}

// ---- the capture component's events ----

void TPreviewCommands::AttachEvents()
{
    FVideoCap.OnStartPreview = [this](TCustomVideoCap *) {
        StartPreviewEvent();
    };
    FVideoCap.OnCaptureEvent = [this](TCustomVideoCap *) {
        CaptureEvent();
    };
    FVideoCap.OnCapturedEvent = [this](TCustomVideoCap *, const QImage &Image) {
        CapturedEvent(Image);
    };
    FVideoCap.OnStartRecord = [this](TCustomVideoCap *) {
        StartRecordEvent();
    };
    FVideoCap.OnStopRecord = [this](TCustomVideoCap *) {
        StopRecordEvent();
    };
    FVideoCap.OnRecording = [this](TCustomVideoCap *, std::int64_t ATimeStamp) {
        RecordingEvent(ATimeStamp);
    };
    FVideoCap.OnChangeFilter = [this](TCustomVideoCap *) {
        ChangeFilterEvent();
    };
    FVideoCap.OnChangeZoom = [this](TCustomVideoCap *) {
        ChangeZoomEvent();
    };
    FVideoCap.OnError = [this](TCustomVideoCap *) {
        ErrorEvent();
    };
}

void TPreviewCommands::StartPreviewEvent()
{
    FVideoCap.ResizeWindow();
    FVideoCap.Centre();
    FView.ShowWaiting(false);
    if (FResolutionTrial.Active)
        ResolutionAccepted();
}

void TPreviewCommands::ChangeFilterEvent()
{
    FView.SetButtonPressed(QStringLiteral("btnPreview_FlipHorz"), FVideoCap.Horizontal());
    FView.SetButtonPressed(QStringLiteral("btnPreview_FlipVert"), FVideoCap.Vertical());
    FView.SetButtonPressed(QStringLiteral("btnPreview_InvertColor"), FVideoCap.InvertColor());
    FView.SetButtonPressed(QStringLiteral("btnPreview_GrayScale"), FVideoCap.Grayscale());
    FView.SetButtonPressed(QStringLiteral("btnPreview_Rotate"), FVideoCap.VideoRotate() != vrtNone);
}

void TPreviewCommands::ChangeZoomEvent()
{
    FView.SetZoomText(ZoomText(double(FVideoCap.Zoom())));
}

void TPreviewCommands::ErrorEvent()
{
    FView.ShowWaiting(false);
    if (FResolutionTrial.Active) {
        // The chosen mode failed before its first frame; the picture is
        // restarted once the component has finished reporting.
        const QString tag = FResolutionTrial.TagText;
        FResolutionTrial = {};
        QTimer::singleShot(0, this, [this, tag] { ResolutionRefused(tag); });
    }
    // A still asked for from a picture that failed will not come.
    if (FStillPending && !FVideoCap.Previewing())
        EndStill();
}

void TPreviewCommands::ShowInformationLater(const QString &AText)
{
    QTimer::singleShot(0, this, [this, AText] { FView.ShowInformation(AText); });
}
