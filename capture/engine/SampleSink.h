#pragma once

// Where the capture pipeline's renderer stage delivers its frames: the
// picture window, or nothing at all for a pipeline run without one.

#include <gst/gst.h>

class TSampleSink
{
public:
    virtual ~TSampleSink() = default;
    // The streaming thread: keeps `sample` (BGR or another RGB layout) as the
    // frame to show; never waits for the UI thread.
    virtual void Present(GstSample *sample) = 0;
};
