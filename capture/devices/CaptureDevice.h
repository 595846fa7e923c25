#pragma once

// The device layer: a camera ("moniker") and the providers that find cameras
// (V4L2 devices, simulated cameras).

#include "capture/devices/CameraControls.h"
#include "capture/devices/CaptureTypes.h"

#include <QString>
#include <gst/gst.h>
#include <memory>
#include <vector>

// A capture mode with the frame rate the camera is asked for.
struct TDeviceMode
{
    TVCapMode Mode;
    int FpsNumerator = 0; // frames per second as a fraction; 0/1 when unknown
    int FpsDenominator = 1;

    friend bool operator==(const TDeviceMode &, const TDeviceMode &) = default;
};

// The caps a source must deliver for a mode (image/jpeg for MJPG modes,
// video/x-raw for the raw formats GStreamer knows); null when there are none.
GstCaps *ModeCaps(const TDeviceMode &mode);

// One camera. Its source element is created once per binding and stays in the
// pipeline between runs; the mode is applied to it while it is stopped.
class TCaptureDevice
{
public:
    virtual ~TCaptureDevice() = default;

    virtual QString FriendlyName() const = 0;
    // "usb#VID_xxxx&PID_xxxx#<sysfs path>", or an identifier of its own.
    virtual QString DevicePath() const = 0;

    // The modes, read from the device (at binding).
    virtual std::vector<TDeviceMode> ReadModes() = 0;
    // The device's current format at binding (all zeros when unknown).
    virtual TDeviceMode ReadCurrentFormat() = 0;

    // A new source element with one "src" pad, named `name`.
    virtual GstElement *CreateSource(const char *name) = 0;
    // Makes the stopped source deliver `mode`; false when it cannot.
    virtual bool ApplyMode(GstElement *source, const TDeviceMode &mode) = 0;
    // Readies the source for a run: false when the camera is gone or refuses
    // the applied mode (the caller then connects nothing).
    virtual bool Open(GstElement *source) = 0;

    // The camera's snapshot button: a new descriptor (the caller owns it)
    // from which `struct input_event`s of the button can be read, or -1 when
    // the camera has none or it cannot be read.
    virtual int OpenSnapshotButton() { return -1; }

    // The camera's picture controls, on a handle of their own that may be
    // used while the stream runs; null when the camera has none.
    virtual TCameraControlsPtr OpenControls() { return nullptr; }
};

using TCaptureDevicePtr = std::shared_ptr<TCaptureDevice>;

// A source of cameras, asked in a stable order.
class TDeviceProvider
{
public:
    virtual ~TDeviceProvider() = default;
    virtual std::vector<TCaptureDevicePtr> Enumerate() = 0;
};

using TDeviceProviderPtr = std::shared_ptr<TDeviceProvider>;

// The providers a component uses unless told otherwise: V4L2 devices of this
// machine, then the simulated cameras.
std::vector<TDeviceProviderPtr> DefaultDeviceProviders();

// Every camera the providers report, in provider order: the one enumeration
// that the capture component's camera list and camera discovery share. A
// device's position here is its device index. Only names and paths are read:
// no stream starts and no input device is opened.
std::vector<TCaptureDevicePtr> EnumerateDevices(const std::vector<TDeviceProviderPtr> &providers);
