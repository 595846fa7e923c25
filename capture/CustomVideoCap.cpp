// The capture component: camera list, modes, properties, placement of the
// picture. The pipeline and the preview lifecycle are in
// CustomVideoCapGraph.cpp.
#include "capture/CustomVideoCap.h"

#include "capture/AudioDevices.h"
#include "capture/CaptureLog.h"
#include "capture/ModeText.h"
#include "capture/VideoWindow.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

float TCustomVideoCap::MinZoom = 0.1f;

namespace {

// Round to the nearest integer, halves to the even neighbour.
int Round(double v)
{
    return int(std::nearbyint(v));
}

QRect ToQRect(const TRect &r)
{
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1));
}

} // namespace

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
    for (const TDeviceProviderPtr &provider : FProviders) {
        for (const TCaptureDevicePtr &device : provider->Enumerate()) {
            const QString name = device->FriendlyName();
            if (name.trimmed().isEmpty())
                continue;
            int k = 1;
            for (const auto &entry : FVideoDevicesList)
                k += entry->DeviceName == name;
            const QString inList = k == 1 ? name : name + QStringLiteral(" (%1)").arg(k);
            FVideoDevicesList.push_back(std::make_unique<TCapDeviceInfo>(name, inList, device));
        }
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

int TCustomVideoCap::AudioDeviceCount() const
{
    return AudioCaptureDeviceCount();
}

void TCustomVideoCap::ReleaseGraph()
{
    TearDownGraph();
    if (FGraph)
        gst_element_set_state(FGraph.get(), GST_STATE_NULL);
    FGraph.reset();
    FVCap.reset();
    FVStreamConf.clear();
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

void TCustomVideoCap::SetSelectionMode(bool Value)
{
    if (Value == FSelectionMode)
        return;
    FSelectionMode = Value;
    FSelectionRect = {};
    FGrabberCB->SetSelectionRect({});
    FGrabberCB->SetSelectionMode(Value);
    Raise(OnChangeFilter);
}

// ---- placement ----

void TCustomVideoCap::SetBackgroundColor(const QColor &Value)
{
    FBackgroundColor = Value;
    QPalette p = palette();
    p.setColor(QPalette::Window, Value);
    setPalette(p);
    update();
}

void TCustomVideoCap::ResizeWindow()
{
    const int sw = Round(double(VideoWidth()) * double(FZoom));
    const int sh = Round(double(VideoHeight()) * double(FZoom));
    int x = FVideoPoint.X, y = FVideoPoint.Y;
    if (width() >= sw)
        x = (width() - sw) / 2;
    if (height() >= sh)
        y = (height() - sh) / 2;
    FVideoPoint = {x, y};
    if (FVideoWindow) {
        if (FAspectRatio)
            FVideoWindow->setGeometry(x, y, sw, sh);
        else
            FVideoWindow->setGeometry(0, 0, width(), height());
    }
}

void TCustomVideoCap::SetZoom(float Value)
{
    float z = Value;
    if (!(z >= MinZoom))
        z = MinZoom;
    if (z > 10.0f)
        z = 10.0f;
    const int vw = VideoWidth(), vh = VideoHeight();
    const int cw = width(), ch = height();
    const int ow = Round(double(vw) * double(FZoom)), oh = Round(double(vh) * double(FZoom));
    const bool zoomingOut = z < FZoom;
    const TRect old{FVideoPoint.X, FVideoPoint.Y, FVideoPoint.X + ow, FVideoPoint.Y + oh};

    FZoom = z;
    const int sw = Round(double(vw) * double(FZoom)), sh = Round(double(vh) * double(FZoom));
    const auto place = [](int pos, int scaled, int before, int control) {
        if (scaled <= control)
            return (control - scaled) / 2;
        int p = pos - (scaled - before) / 2; // keep the picture's centre
        if (p > 0)
            p = 0;
        if (p + scaled < control)
            p = control - scaled;
        return p;
    };
    const int x = place(FVideoPoint.X, sw, ow, cw);
    const int y = place(FVideoPoint.Y, sh, oh, ch);
    FVideoPoint = {x, y};
    Raise(OnChangeZoom);
    ResizeWindow();

    if (!zoomingOut || old.IsEmpty())
        return;
    const QRect control(0, 0, cw, ch);
    const TRect now{x, y, x + sw, y + sh};
    if (ToQRect(now).intersected(control) == control)
        return;
    // The bands of the old picture that the new one no longer covers.
    const TRect bands[] = {{old.Left, old.Top, old.Right, now.Top},
                           {old.Left, now.Bottom, old.Right, old.Bottom},
                           {old.Left, old.Top, now.Left, old.Bottom},
                           {now.Right, old.Top, old.Right, old.Bottom}};
    for (const TRect &band : bands) {
        const QRect r = ToQRect(band).intersected(control);
        if (!band.IsEmpty() && !r.isEmpty())
            CustomInvalidate({r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    }
}

void TCustomVideoCap::SetWideMOde(bool Value)
{
    FWideMode = Value;
    const int vw = VideoWidth(), vh = VideoHeight();
    if (Value && vw != 0)
        MinZoom = float(double(width()) / double(vw));
    else if (!Value && vh != 0)
        MinZoom = float(double(height()) / double(vh));
    SetZoom(-1.0f);
}

void TCustomVideoCap::CustomInvalidate()
{
    update();
}

void TCustomVideoCap::CustomInvalidate(const TRect &ARect)
{
    if (!ARect.IsEmpty())
        update(ToQRect(ARect));
}

void TCustomVideoCap::paintEvent(QPaintEvent *e)
{
    QPainter painter(this);
    painter.fillRect(e->rect(), FBackgroundColor);
}

void TCustomVideoCap::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    ResizeWindow();
}
