#pragma once

// The cameras the capture component offers and the one its pipeline is
// bound to: the camera list with the names shown for it, binding by position
// or listed name, and what the bound camera offers (its modes, the codec text
// applied last, its picture controls and focus, its snapshot button). The
// bound camera itself and its format are the pipeline's (TCaptureGraph):
// this object reads them there. It lives on the UI thread.
//
// Each step is small and says what it reads and what it changes, so that
// the device I/O (Refresh, Read) can later run on a worker: Read touches
// only the camera, Take only this object and the pipeline.

#include "capture/devices/CameraControls.h"
#include "capture/devices/CaptureDevice.h"
#include "capture/devices/FileHandle.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TCaptureGraph;
class TSnapshotButton;

// One entry of the camera list.
class TCapDeviceInfo
{
public:
    TCapDeviceInfo(QString aDeviceName, QString aDeviceNameInList, TCaptureDevicePtr aMoniker)
        : DeviceName(std::move(aDeviceName))
        , DeviceNameInList(std::move(aDeviceNameInList))
        , Moniker(std::move(aMoniker))
    {}
    QString DeviceName;       // as the device reports it
    QString DeviceNameInList; // made unique with " (%d)"
    TCaptureDevicePtr Moniker;
};

// One line of GetVideoSize: a mode text and the index of its first mode.
struct TVideoSizeItem
{
    QString Text;
    int Index = 0;
    friend bool operator==(const TVideoSizeItem &, const TVideoSizeItem &) = default;
};

// What a camera offers at binding, read from the camera alone.
struct TCameraOffer
{
    std::vector<TDeviceMode> Modes;
    TDeviceMode Format;          // its current format, else its first mode
    TCameraControlsPtr Controls; // null without controls
    TFileHandle Button;          // its snapshot button's events; closed without one
};

// The focus control's range and its value now (its default when the camera
// cannot tell).
struct TFocusRange
{
    int Minimum = 0, Maximum = 0, Value = 0;
};

class TCameraBinding
{
public:
    // `graph` is the pipeline the cameras are bound to; it outlives this object.
    explicit TCameraBinding(TCaptureGraph &graph);
    ~TCameraBinding();
    TCameraBinding(const TCameraBinding &) = delete;
    TCameraBinding &operator=(const TCameraBinding &) = delete;

    // ---- the camera list (CameraBinding.cpp) ----
    // The providers Refresh asks (the default: V4L2, simulated).
    void SetProviders(std::vector<TDeviceProviderPtr> providers);
    // Asks the providers again: every camera with a name, in their order, a
    // name that comes again followed by " (2)", " (3)" ... The binding stays.
    // True when the list holds a camera.
    bool Refresh();
    int Count() const { return int(FVideoDevicesList.size()); }
    // The names as listed.
    QStringList Names() const;
    // The camera at `index`, or listed as `nameInList`; null for none.
    TCaptureDevicePtr At(int index) const;
    TCaptureDevicePtr Named(const QString &nameInList) const;
    // The position of the camera listed as `nameInList`, or of the one with
    // the device path `path` (compared exactly); -1 for none.
    int IndexOfName(const QString &nameInList) const;
    int IndexOfPath(const QString &path) const;

    // ---- binding (CameraBinding.cpp) ----
    // What `device` offers: device I/O only, nothing here changes.
    static TCameraOffer Read(TCaptureDevice &device);
    // Binds `device` to the pipeline under its name and takes what it
    // offers; false (nothing bound) when the pipeline cannot make its
    // source. The caller has stopped the preview.
    bool Bind(const TCaptureDevicePtr &device);
    // Takes `offer` of the camera the pipeline has just bound: its modes,
    // its format put on the source, its controls and button.
    void Take(TCameraOffer offer);
    // Unbinds: the pipeline drops everything, the offer goes.
    void Release();
    // The camera bound (null for none).
    const TCaptureDevicePtr &Device() const;
    // The name the camera bound last reported (it stays after a release).
    QString DeviceName() const { return FVideoDeviceName; }
    // Called on the UI thread for each press of the bound camera's button.
    std::function<void()> OnSnapshotButton;

    // ---- the bound camera's modes (CameraBinding.cpp) ----
    int ModeCount() const { return int(FVStreamConf.size()); }
    // Mode `i`; all zeros outside the list.
    TVCapMode Mode(int i) const;
    // The distinct mode texts, in mode order.
    std::vector<TVideoSizeItem> VideoSizes() const;
    // The first mode of that size and codec; -1 for none.
    int FindMode(int width, int height, const QString &codec) const;
    // Puts mode `i` on the stopped source; one the source does not take
    // leaves the previous one in place. False when nothing was applied.
    bool ApplyMode(int i);
    // The codec text applied last, as setVideoSize takes it ("MJPG").
    QString Codec() const { return FVideoCodec; }
    void SetCodec(const QString &codec) { FVideoCodec = codec; }
    // The codec text of `mode` as setVideoSize takes it.
    static QString CodecOf(const TVCapMode &mode);

    // ---- the bound camera's controls (CameraBindingControls.cpp) ----
    // Null without a camera or controls.
    const TCameraControlsPtr &Controls() const { return FControls; }
    // Absent without the control.
    std::optional<int> ControlValue(TCameraControl control) const;
    // The value written (fitted to the control), or absent when nothing was
    // written; the focus goes through ManualFocus.
    std::optional<int> SetControlValue(TCameraControl control, int value);
    // Manual focus at `value` (put on the focus step) when it lies within
    // the focus range; nothing otherwise.
    void ManualFocus(int value);
    // One-shot autofocus: manual focus at 250 (fitted to the range), then
    // automatic focus.
    void Autofocus();
    // Absent without a focus control.
    std::optional<TFocusRange> FocusRange() const;

private:
    TCaptureGraph &FGraph;
    std::vector<TDeviceProviderPtr> FProviders;
    std::vector<TCapDeviceInfo> FVideoDevicesList;
    QString FVideoDeviceName;
    std::vector<TDeviceMode> FVStreamConf;
    QString FVideoCodec;
    TCameraControlsPtr FControls;
    std::unique_ptr<TSnapshotButton> FSnapshotButton;
};
