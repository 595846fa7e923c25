// The capture component: camera list, modes, picture effects. The pipeline
// and the preview lifecycle are in CustomVideoCapGraph.cpp, the placement of
// the picture in CustomVideoCapGeometry.cpp, stills in CustomVideoCapStill.cpp.
#include "capture/CustomVideoCap.h"

#include "capture/CaptureLog.h"
#include "capture/ModeText.h"
#include "capture/SnapshotButton.h"
#include "capture/VideoWindow.h"
#include "encoding/FFEncoder.h"
#include "encoding/WaveInput.h"

#include <QCoreApplication>

TCustomVideoCap::TCustomVideoCap(QWidget *AOwner)
    : QWidget(AOwner)
    , FProviders(DefaultDeviceProviders())
    , FStageFactory([](const char *factory, const char *name) {
        return gst_element_factory_make(factory, name);
    })
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    SetBackgroundColor(Qt::black);
    FFMpegLoaded = LoadEncoder({});
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
    FStageFactory = std::move(factory);
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
    if (!FGraph)
        FGraph = TGstRef<GstElement>::Adopt(gst_pipeline_new("KARVOGraph"));
    if (!FGraph)
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
    return FBoundDevice ? FBoundDevice->DevicePath() : QString();
}

bool TCustomVideoCap::SetVideoDevicePath(const QString &APath)
{
    Init();
    for (std::size_t i = 0; i < FVideoDevicesList.size(); ++i)
        if (!APath.isEmpty() && FVideoDevicesList[i]->Moniker->DevicePath() == APath) {
            SetVideoDeviceIndex(int(i));
            return FBoundDevice != nullptr;
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
    TearDownGraph();
    if (FGraph)
        gst_element_set_state(FGraph.get(), GST_STATE_NULL);
    FGraph.reset();
    FVCap.reset();
    FVStreamConf.clear();
    FSnapshotButton.reset();
    FControls.reset();
    FBoundDevice.reset();
    FCurrentFormat = {};
}

void TCustomVideoCap::SelectVideoDevice()
{
    ReleaseGraph();
    if (!FmVideo)
        return;
    const QString name = FmVideo->FriendlyName();
    if (!name.isEmpty())
        FVideoDeviceName = name;
    TGstRef<GstElement> source =
        TGstRef<GstElement>::Adopt(FmVideo->CreateSource(FVideoDeviceName.toUtf8().constData()));
    if (!source)
        return;
    qCDebug(lcCapture) << "Audio Not Setting";

    FGraph = TGstRef<GstElement>::Adopt(gst_pipeline_new("KARVOGraph"));
    if (!FGraph || !gst_bin_add(GST_BIN(FGraph.get()), source.get())) {
        FGraph.reset();
        return;
    }
    FVCap = source;
    FBoundDevice = FmVideo;
    FVStreamConf = FmVideo->ReadModes();
    FCurrentFormat = FmVideo->ReadCurrentFormat();
    if (FCurrentFormat.Mode.Width <= 0 && !FVStreamConf.empty())
        FCurrentFormat = FVStreamConf.front();
    if (!FmVideo->ApplyMode(FVCap.get(), FCurrentFormat))
        qCWarning(lcCapture).noquote() << "the current format of" << FVideoDeviceName
                                       << "cannot be applied:" << ModeText(FCurrentFormat.Mode);
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
    TearDownGraph();
    if (i < 0 || i >= VCapModeCount() || !FVCap || !FBoundDevice)
        return;
    const TDeviceMode &mode = FVStreamConf[std::size_t(i)];
    // A format the source does not take leaves the previous one in place.
    if (FBoundDevice->ApplyMode(FVCap.get(), mode))
        FCurrentFormat = mode;
    else if (!FBoundDevice->ApplyMode(FVCap.get(), FCurrentFormat))
        qCWarning(lcCapture) << "the capture format cannot be set";
}

int TCustomVideoCap::VideoWidth() const
{
    const bool swap = FVideoRotate == vrt90 || FVideoRotate == vrt270;
    return swap ? FCurrentFormat.Mode.Height : FCurrentFormat.Mode.Width;
}

int TCustomVideoCap::VideoHeight() const
{
    const bool swap = FVideoRotate == vrt90 || FVideoRotate == vrt270;
    return swap ? FCurrentFormat.Mode.Width : FCurrentFormat.Mode.Height;
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
