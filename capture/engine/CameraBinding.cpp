// The camera list, binding a camera to the pipeline and the bound camera's
// modes. Its controls and focus are in CameraBindingControls.cpp.
#include "capture/engine/CameraBinding.h"

#include "capture/devices/CaptureLog.h"
#include "capture/devices/ModeText.h"
#include "capture/devices/SnapshotButton.h"
#include "capture/engine/CaptureGraph.h"

#include <algorithm>

TCameraBinding::TCameraBinding(TCaptureGraph &graph)
    : FGraph(graph)
    , FProviders(DefaultDeviceProviders())
{}

TCameraBinding::~TCameraBinding() = default;

// ---- the camera list ----

void TCameraBinding::SetProviders(std::vector<TDeviceProviderPtr> providers)
{
    FProviders = std::move(providers);
}

bool TCameraBinding::Refresh()
{
    FVideoDevicesList.clear();
    for (const TCaptureDevicePtr &device : EnumerateDevices(FProviders)) {
        const QString name = device->FriendlyName();
        if (name.trimmed().isEmpty())
            continue;
        int k = 1;
        for (const TCapDeviceInfo &entry : FVideoDevicesList)
            k += entry.DeviceName == name;
        const QString inList = k == 1 ? name : name + QStringLiteral(" (%1)").arg(k);
        FVideoDevicesList.emplace_back(name, inList, device);
    }
    return !FVideoDevicesList.empty();
}

QStringList TCameraBinding::Names() const
{
    QStringList list;
    for (const TCapDeviceInfo &entry : FVideoDevicesList)
        list << entry.DeviceNameInList;
    return list;
}

TCaptureDevicePtr TCameraBinding::At(int index) const
{
    return index >= 0 && index < Count() ? FVideoDevicesList[std::size_t(index)].Moniker : nullptr;
}

TCaptureDevicePtr TCameraBinding::Named(const QString &nameInList) const
{
    return At(IndexOfName(nameInList));
}

int TCameraBinding::IndexOfName(const QString &nameInList) const
{
    for (std::size_t i = 0; i < FVideoDevicesList.size(); ++i)
        if (FVideoDevicesList[i].DeviceNameInList == nameInList)
            return int(i);
    return -1;
}

int TCameraBinding::IndexOfPath(const QString &path) const
{
    for (std::size_t i = 0; i < FVideoDevicesList.size(); ++i)
        if (!path.isEmpty() && FVideoDevicesList[i].Moniker->DevicePath() == path)
            return int(i);
    return -1;
}

// ---- binding ----

TCameraOffer TCameraBinding::Read(TCaptureDevice &device)
{
    TCameraOffer offer;
    offer.Modes = device.ReadModes();
    offer.Format = device.ReadCurrentFormat();
    if (offer.Format.Mode.Width <= 0 && !offer.Modes.empty())
        offer.Format = offer.Modes.front();
    offer.Button = TFileHandle(device.OpenSnapshotButton());
    offer.Controls = device.OpenControls();
    return offer;
}

bool TCameraBinding::Bind(const TCaptureDevicePtr &device)
{
    Release();
    if (!device)
        return false;
    const QString name = device->FriendlyName();
    if (!name.isEmpty())
        FVideoDeviceName = name;
    if (!FGraph.Bind(device, FVideoDeviceName))
        return false;
    qCDebug(lcCapture) << "Audio Not Setting";
    Take(Read(*device));
    return true;
}

void TCameraBinding::Take(TCameraOffer offer)
{
    FVStreamConf = std::move(offer.Modes);
    if (!FGraph.SetFormat(offer.Format))
        qCWarning(lcCapture).noquote() << "the current format of" << FVideoDeviceName
                                       << "cannot be applied:" << ModeText(offer.Format.Mode);
    FSnapshotButton.reset();
    if (offer.Button.IsOpen()) {
        FSnapshotButton = std::make_unique<TSnapshotButton>(offer.Button.Release());
        FSnapshotButton->OnPress = [this] {
            if (OnSnapshotButton)
                OnSnapshotButton();
        };
    }
    FControls = std::move(offer.Controls);
}

void TCameraBinding::Release()
{
    FGraph.Release();
    FVStreamConf.clear();
    FSnapshotButton.reset();
    FControls.reset();
}

const TCaptureDevicePtr &TCameraBinding::Device() const
{
    return FGraph.Device();
}

// ---- modes ----

TVCapMode TCameraBinding::Mode(int i) const
{
    if (i < 0 || i >= ModeCount())
        return {};
    return FVStreamConf[std::size_t(i)].Mode;
}

std::vector<TVideoSizeItem> TCameraBinding::VideoSizes() const
{
    std::vector<TVideoSizeItem> list;
    for (int i = 0; i < ModeCount(); ++i) {
        const QString text = ModeText(Mode(i));
        if (std::none_of(list.begin(), list.end(),
                         [&](const TVideoSizeItem &item) { return item.Text == text; }))
            list.push_back({text, i});
    }
    return list;
}

int TCameraBinding::FindMode(int width, int height, const QString &codec) const
{
    for (int i = 0; i < ModeCount(); ++i)
        if (ModeMatches(Mode(i), width, height, codec))
            return i;
    return -1;
}

bool TCameraBinding::ApplyMode(int i)
{
    if (i < 0 || i >= ModeCount() || !FGraph.Source())
        return false;
    if (FGraph.ApplyMode(FVStreamConf[std::size_t(i)]))
        return true;
    if (!FGraph.ApplyMode(FGraph.CurrentFormat()))
        qCWarning(lcCapture) << "the capture format cannot be set";
    return false;
}

QString TCameraBinding::CodecOf(const TVCapMode &mode)
{
    const QString suffix = ModeSuffix(mode.MediaSubType);
    return suffix.isEmpty() ? FourCCText(mode.MediaSubType) : suffix.mid(1).chopped(1);
}
