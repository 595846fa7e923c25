// The capture component: camera list, modes, picture effects. The preview
// lifecycle is in CustomVideoCapPreview.cpp, the placement of the picture in
// CustomVideoCapGeometry.cpp, stills in CustomVideoCapStill.cpp, recordings in
// CustomVideoCapRecord.cpp.
#include "capture/component/CustomVideoCap.h"

#include "capture/component/VideoWindow.h"
#include "capture/devices/CaptureLog.h"
#include "capture/devices/ModeText.h"
#include "capture/devices/SnapshotButton.h"
#include "encoding/FFEncoder.h"
#include "encoding/WaveInput.h"

#include <QCoreApplication>

TCustomVideoCap::TCustomVideoCap(QWidget *AOwner)
    : QWidget(AOwner)
    , FProviders(DefaultDeviceProviders())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    SetBackgroundColor(Qt::black);
    BindCaptureGraph();
    BindRecordSession();
    FRecordSession->LoadEncoder({});
}

TCustomVideoCap::~TCustomVideoCap()
{
    // The caller stops recording and preview first; whatever still runs is
    // stopped here before the grabber callback goes, without events: their
    // handlers may belong to objects already gone.
    OnStartPreview = OnStartRecord = OnPausePreview = OnResumePreview = OnStopPreview =
        OnStopRecord = OnCaptureEvent = OnChangeFilter = OnChangeZoom = OnError = nullptr;
    OnCapturedEvent = nullptr;
    OnSelectionRect = nullptr;
    OnRecording = nullptr;
    ReleaseGraph();
    QCoreApplication::removePostedEvents(this);
}

void TCustomVideoCap::SetDeviceProviders(std::vector<TDeviceProviderPtr> providers)
{
    FProviders = std::move(providers);
}

void TCustomVideoCap::SetStageFactory(TStageFactory factory)
{
    FCaptureGraph->SetStageFactory(std::move(factory));
}

void TCustomVideoCap::Raise(const TNotifyEvent &e)
{
    if (e)
        e(this);
}

// ---- cameras ----

bool TCustomVideoCap::Init()
{
    GError *raw = nullptr;
    if (!gst_init_check(nullptr, nullptr, &raw)) {
        TErrorPtr err(raw);
        qCWarning(lcCapture) << "GStreamer cannot start:" << (err ? err->message : "");
        return false;
    }
    if (!FCaptureGraph->Init())
        return false;

    FVideoDevicesList.clear();
    for (const TCaptureDevicePtr &device : EnumerateDevices(FProviders)) {
        const QString name = device->FriendlyName();
        if (name.trimmed().isEmpty())
            continue;
        int k = 1;
        for (const auto &entry : FVideoDevicesList)
            k += entry->DeviceName == name;
        const QString inList = k == 1 ? name : name + QStringLiteral(" (%1)").arg(k);
        FVideoDevicesList.push_back(std::make_unique<TCapDeviceInfo>(name, inList, device));
    }
    return !FVideoDevicesList.empty();
}

QStringList TCustomVideoCap::GetVideodeviceList() const
{
    QStringList list;
    for (const auto &entry : FVideoDevicesList)
        list << entry->DeviceNameInList;
    return list;
}

int TCustomVideoCap::VideoDeviceIndex() const
{
    for (std::size_t i = 0; i < FVideoDevicesList.size(); ++i)
        if (FVideoDevicesList[i]->DeviceNameInList == FVideoDeviceName)
            return int(i);
    return -1;
}

void TCustomVideoCap::SetVideoDeviceIndex(int Value)
{
    FmVideo = Value >= 0 && Value < VideoDeviceCount()
                  ? FVideoDevicesList[std::size_t(Value)]->Moniker
                  : nullptr;
    SelectVideoDevice();
}

void TCustomVideoCap::SetVideoDeviceName(const QString &Value)
{
    FmVideo = nullptr;
    for (const auto &entry : FVideoDevicesList)
        if (entry->DeviceNameInList == Value) {
            FmVideo = entry->Moniker;
            break;
        }
    SelectVideoDevice();
}

QString TCustomVideoCap::VideoDevicePath() const
{
    const TCaptureDevicePtr &bound = FCaptureGraph->Device();
    return bound ? bound->DevicePath() : QString();
}

bool TCustomVideoCap::SetVideoDevicePath(const QString &APath)
{
    Init();
    for (std::size_t i = 0; i < FVideoDevicesList.size(); ++i)
        if (!APath.isEmpty() && FVideoDevicesList[i]->Moniker->DevicePath() == APath) {
            SetVideoDeviceIndex(int(i));
            return FCaptureGraph->Device() != nullptr;
        }
    qCWarning(lcCapture).noquote() << "device not found:" << APath;
    return false;
}

int TCustomVideoCap::AudioDeviceCount() const
{
    return WaveInputDeviceCount();
}

void TCustomVideoCap::ReleaseGraph()
{
    StopPreview();
    FCaptureGraph->Release();
    FVStreamConf.clear();
    FSnapshotButton.reset();
    FControls.reset();
}

void TCustomVideoCap::SelectVideoDevice()
{
    ReleaseGraph();
    if (!FmVideo)
        return;
    const QString name = FmVideo->FriendlyName();
    if (!name.isEmpty())
        FVideoDeviceName = name;
    if (!FCaptureGraph->Bind(FmVideo, FVideoDeviceName))
        return;
    qCDebug(lcCapture) << "Audio Not Setting";
    FVStreamConf = FmVideo->ReadModes();
    TDeviceMode current = FmVideo->ReadCurrentFormat();
    if (current.Mode.Width <= 0 && !FVStreamConf.empty())
        current = FVStreamConf.front();
    if (!FCaptureGraph->SetFormat(current))
        qCWarning(lcCapture).noquote() << "the current format of" << FVideoDeviceName
                                       << "cannot be applied:" << ModeText(current.Mode);
    BindSnapshotButton();
    FControls = FmVideo->OpenControls();
}

// ---- modes ----

TVCapMode TCustomVideoCap::OnGetVCapModes(int i) const
{
    if (i < 0 || i >= VCapModeCount())
        return {};
    return FVStreamConf[std::size_t(i)].Mode;
}

std::vector<TVideoSizeItem> TCustomVideoCap::GetVideoSize() const
{
    std::vector<TVideoSizeItem> list;
    for (int i = 0; i < VCapModeCount(); ++i) {
        const QString text = ModeText(OnGetVCapModes(i));
        if (std::none_of(list.begin(), list.end(),
                         [&](const TVideoSizeItem &item) { return item.Text == text; }))
            list.push_back({text, i});
    }
    return list;
}

bool TCustomVideoCap::setVideoSize(int AWidth, int AHeight, const QString &ACodec)
{
    for (int i = 0; i < VCapModeCount(); ++i) {
        if (ModeMatches(OnGetVCapModes(i), AWidth, AHeight, ACodec)) {
            ApplyCapability(i);
            FVideoCodec = ACodec;
            return true;
        }
    }
    return false;
}

void TCustomVideoCap::ApplyCapability(int i)
{
    StopPreview();
    if (i < 0 || i >= VCapModeCount() || !FCaptureGraph->Source())
        return;
    // A format the source does not take leaves the previous one in place.
    if (!FCaptureGraph->ApplyMode(FVStreamConf[std::size_t(i)]) &&
        !FCaptureGraph->ApplyMode(FCaptureGraph->CurrentFormat()))
        qCWarning(lcCapture) << "the capture format cannot be set";
}

int TCustomVideoCap::VideoWidth() const
{
    const bool swap = FVideoRotate == vrt90 || FVideoRotate == vrt270;
    return swap ? FCaptureGraph->CurrentFormat().Mode.Height
                : FCaptureGraph->CurrentFormat().Mode.Width;
}

int TCustomVideoCap::VideoHeight() const
{
    const bool swap = FVideoRotate == vrt90 || FVideoRotate == vrt270;
    return swap ? FCaptureGraph->CurrentFormat().Mode.Width
                : FCaptureGraph->CurrentFormat().Mode.Height;
}

// ---- picture effects ----

void TCustomVideoCap::SetHorizontal(bool Value)
{
    FFlipHorizontal = Value;
    if (FVideoWindow)
        FGrabberCB->SetFlipHorz(Value);
    Raise(OnChangeFilter);
}

void TCustomVideoCap::SetVertical(bool Value)
{
    FFlipVertical = Value;
    if (FVideoWindow)
        FGrabberCB->SetFlipVert(Value);
    Raise(OnChangeFilter);
}

void TCustomVideoCap::SetGrayscale(bool Value)
{
    FGrayscale = Value;
    FGrabberCB->SetGrayscale(Value);
    Raise(OnChangeFilter);
}

void TCustomVideoCap::SetInvertColor(bool Value)
{
    FInvertColor = Value;
    FGrabberCB->SetInvertColor(Value);
    Raise(OnChangeFilter);
}
