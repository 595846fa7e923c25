#pragma once

// A camera for the benchmarks that sends one prepared JPEG frame again and
// again at a steady rate, so that a figure holds no encoding cost of a
// camera: the frame is encoded once, before anything is measured.

#include "capture/devices/CaptureDevice.h"

#include <QString>
#include <cstdint>
#include <gst/gst.h>
#include <memory>
#include <vector>

// One test picture (colour bars) of width x height as a JPEG file's bytes;
// empty when GStreamer cannot make it.
std::vector<std::uint8_t> PrepareJpeg(int width, int height);

struct TReplayClip
{
    std::shared_ptr<const std::vector<std::uint8_t>> Jpeg;
    int Width = 0;
    int Height = 0;
    int Fps = 30;
    int Frames = 300; // then the stream ends (a pipeline's end of stream)
};

// A source element with one "src" pad: the clip's frames, time-stamped and
// sent at the clip's rate, through a short leaky queue like a camera's few
// capture buffers (a stage that cannot keep up loses frames, the camera
// never waits). `name` names the element.
GstElement *MakeReplaySource(const TReplayClip &clip, const char *name);

// One camera ("Replay Camera", path `path`) with the clip's size as its only
// MJPG mode.
class TReplayProvider : public TDeviceProvider
{
public:
    TReplayProvider(TReplayClip clip, QString path);
    std::vector<TCaptureDevicePtr> Enumerate() override;

private:
    TCaptureDevicePtr FDevice;
};
