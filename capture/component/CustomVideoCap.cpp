// The capture component: its parts, the cameras and modes, the picture
// effects. The preview lifecycle is in CustomVideoCapPreview.cpp, the
// placement of the picture in CustomVideoCapGeometry.cpp, stills in
// CustomVideoCapStill.cpp, recordings in CustomVideoCapRecord.cpp, the
// camera's controls in CustomVideoCapControls.cpp.
#include "capture/component/CustomVideoCap.h"

#include "capture/devices/CaptureLog.h"
#include "encoding/FFEncoder.h"
#include "encoding/WaveInput.h"

#include <QCoreApplication>

TCustomVideoCap::TCustomVideoCap(QWidget *AOwner)
    : QWidget(AOwner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    SetBackgroundColor(Qt::black);
    BindCaptureGraph();
    BindRecordSession();
    FBinding.OnSnapshotButton = [this] {
        QCoreApplication::postEvent(this, new QEvent(QEvent::Type(WM_STILLREQUEST)));
    };
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
    FBinding.SetProviders(std::move(providers));
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
    return FBinding.Refresh();
}

QString TCustomVideoCap::VideoDevicePath() const
{
    const TCaptureDevicePtr &bound = FBinding.Device();
    return bound ? bound->DevicePath() : QString();
}

bool TCustomVideoCap::SetVideoDevicePath(const QString &APath)
{
    Init();
    const int index = FBinding.IndexOfPath(APath);
    if (index < 0) {
        qCWarning(lcCapture).noquote() << "device not found:" << APath;
        return false;
    }
    SetVideoDeviceIndex(index);
    return FBinding.Device() != nullptr;
}

int TCustomVideoCap::AudioDeviceCount() const
{
    return WaveInputDeviceCount();
}

void TCustomVideoCap::ReleaseGraph()
{
    StopPreview();
    FBinding.Release();
}

void TCustomVideoCap::SelectVideoDevice(const TCaptureDevicePtr &device)
{
    ReleaseGraph();
    if (device)
        FBinding.Bind(device);
}

// ---- modes ----

bool TCustomVideoCap::setVideoSize(int AWidth, int AHeight, const QString &ACodec)
{
    const int i = FBinding.FindMode(AWidth, AHeight, ACodec);
    if (i < 0)
        return false;
    ApplyCapability(i);
    FBinding.SetCodec(ACodec);
    return true;
}

void TCustomVideoCap::ApplyCapability(int i)
{
    StopPreview();
    FBinding.ApplyMode(i);
}

QSize TCustomVideoCap::PictureSize() const
{
    return TPictureGeometry::RotatedSize(FCaptureGraph->CurrentFormat().Mode,
                                         FCaptureGraph->Rotation());
}

// ---- picture effects ----

void TCustomVideoCap::SetHorizontal(bool Value)
{
    FGrabberCB->SetFlipHorz(Value);
    Raise(OnChangeFilter);
}

void TCustomVideoCap::SetVertical(bool Value)
{
    FGrabberCB->SetFlipVert(Value);
    Raise(OnChangeFilter);
}

void TCustomVideoCap::SetGrayscale(bool Value)
{
    FGrabberCB->SetGrayscale(Value);
    Raise(OnChangeFilter);
}

void TCustomVideoCap::SetInvertColor(bool Value)
{
    FGrabberCB->SetInvertColor(Value);
    Raise(OnChangeFilter);
}
