// The preview menu: dispatch by tag, the preview work area, the picture
// effects, zoom, wide, load, settings and camera, and the status texts that
// follow the capture component's events. Stills, recording and the resolution
// list are in PreviewCapture.cpp, opening the camera in PreviewCamera.cpp.
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
constexpr std::array LiveControls = {TPreviewTag::Record,      TPreviewTag::AutoFocus,
                                     TPreviewTag::InvertColor, TPreviewTag::GrayScale,
                                     TPreviewTag::FlipVert,    TPreviewTag::FlipHorz,
                                     TPreviewTag::Rotate,      TPreviewTag::Resolution};

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

void TPreviewCommands::PreviewMenuClick(TPreviewTag ATag)
{
    using enum TPreviewTag;
    static const std::array<std::pair<TPreviewTag, TCommand>, 17> Commands = {{
        {Load, &TPreviewCommands::Load},
        {Capture, &TPreviewCommands::Capture},
        {Record, &TPreviewCommands::Record},
        {AutoFocus, &TPreviewCommands::Autofocus},
        {FullScreen, &TPreviewCommands::FullScreen},
        {InvertColor, &TPreviewCommands::InvertColor},
        {GrayScale, &TPreviewCommands::GrayScale},
        {FlipVert, &TPreviewCommands::FlipVert},
        {FlipHorz, &TPreviewCommands::FlipHorz},
        {Rotate, &TPreviewCommands::Rotate},
        {Resolution, &TPreviewCommands::Resolution},
        {ZoomIn, &TPreviewCommands::ZoomIn},
        {ZoomOut, &TPreviewCommands::ZoomOut},
        {Wide, &TPreviewCommands::Wide},
        {Back, &TPreviewCommands::Back},
        {Setting, &TPreviewCommands::Setting},
        {Camera, &TPreviewCommands::Camera},
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
    // The view lays the area out for the type it gets and asks for it again
    // when it is resized.
    FPreviewType = Value;
    FView.SetPreviewLayout(Value);
    UpdatePreviewTypeControls();
    if (FVideoCap.Previewing())
        FVideoCap.ResizeWindow();
}

void TPreviewCommands::UpdatePreviewTypeControls()
{
    const bool video = FPreviewType != cptImage;
    for (const TPreviewTag control : LiveControls)
        FView.SetButtonEnabled(control, video);
    FView.SetButtonEnabled(TPreviewTag::Back, FPreviewType != cptPreview);
    FView.SetButtonEnabled(TPreviewTag::Wide, FPreviewType == cptPreview);
    FView.SetButtonEnabled(TPreviewTag::Capture, FPreviewType == cptPreview);
}

void TPreviewCommands::SetPreviewSize(const TResolutionInfo &Info)
{
    FPreviewSize = Info;
    FView.SetResolutionText(ResolutionText(Info));
}

void TPreviewCommands::SetWide(bool Value)
{
    FView.SetButtonImages(TPreviewTag::Wide, Value ? QStringLiteral("RES_PREVIEW_MENU_4_3_")
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
    FView.SetButtonPressed(TPreviewTag::FullScreen, FView.FullScreen());
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
    FView.SetButtonPressed(TPreviewTag::FlipHorz, FVideoCap.Horizontal());
    FView.SetButtonPressed(TPreviewTag::FlipVert, FVideoCap.Vertical());
    FView.SetButtonPressed(TPreviewTag::InvertColor, FVideoCap.InvertColor());
    FView.SetButtonPressed(TPreviewTag::GrayScale, FVideoCap.Grayscale());
    FView.SetButtonPressed(TPreviewTag::Rotate, FVideoCap.VideoRotate() != vrtNone);
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
