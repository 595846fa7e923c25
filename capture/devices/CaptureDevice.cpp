#include "capture/devices/CaptureDevice.h"

#include "capture/devices/SimulatedCamera.h"
#include "capture/devices/V4l2Provider.h"

namespace {

struct RawFormat
{
    std::uint32_t Code;
    const char *GstFormat;
};

// V4L2 raw formats and their GStreamer names.
constexpr RawFormat RawFormats[] = {
    {FourCC('Y', 'U', 'Y', 'V'), "YUY2"},  {FourCC('Y', 'U', 'Y', '2'), "YUY2"},
    {FourCC('U', 'Y', 'V', 'Y'), "UYVY"},  {FourCC('Y', 'V', 'Y', 'U'), "YVYU"},
    {FourCC('N', 'V', '1', '2'), "NV12"},  {FourCC('N', 'V', '2', '1'), "NV21"},
    {FourCC('Y', 'U', '1', '2'), "I420"},  {FourCC('Y', 'V', '1', '2'), "YV12"},
    {FourCC('B', 'G', 'R', '3'), "BGR"},   {FourCC('R', 'G', 'B', '3'), "RGB"},
    {FourCC('B', 'G', 'R', '4'), "BGRx"},  {FourCC('X', 'R', '2', '4'), "BGRx"},
    {FourCC('A', 'R', '2', '4'), "BGRA"},  {FourCC('G', 'R', 'E', 'Y'), "GRAY8"},
    {FourCC('R', 'G', 'B', 'P'), "RGB16"}, {FourCC('R', 'G', 'B', 'O'), "RGB15"},
};

} // namespace

GstCaps *ModeCaps(const TDeviceMode &mode)
{
    const TVCapMode &m = mode.Mode;
    if (m.Width <= 0 || m.Height <= 0)
        return nullptr;
    GstCaps *caps = nullptr;
    if (m.MediaSubType == FourCC('M', 'J', 'P', 'G') ||
        m.MediaSubType == FourCC('J', 'P', 'E', 'G')) {
        caps = gst_caps_new_simple("image/jpeg", "width", G_TYPE_INT, m.Width, "height", G_TYPE_INT,
                                   m.Height, nullptr);
    } else {
        for (const RawFormat &f : RawFormats)
            if (f.Code == m.MediaSubType) {
                caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, f.GstFormat,
                                           "width", G_TYPE_INT, m.Width, "height", G_TYPE_INT,
                                           m.Height, nullptr);
                break;
            }
    }
    if (caps && mode.FpsNumerator > 0 && mode.FpsDenominator > 0)
        gst_caps_set_simple(caps, "framerate", GST_TYPE_FRACTION, mode.FpsNumerator,
                            mode.FpsDenominator, nullptr);
    return caps;
}

std::vector<TDeviceProviderPtr> DefaultDeviceProviders()
{
    return {std::make_shared<TV4l2Provider>(), std::make_shared<TSimulatedProvider>()};
}

std::vector<TCaptureDevicePtr> EnumerateDevices(const std::vector<TDeviceProviderPtr> &providers)
{
    std::vector<TCaptureDevicePtr> devices;
    for (const TDeviceProviderPtr &provider : providers) {
        if (!provider)
            continue;
        for (TCaptureDevicePtr &device : provider->Enumerate())
            devices.push_back(std::move(device));
    }
    return devices;
}
