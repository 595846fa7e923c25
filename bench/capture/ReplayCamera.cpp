#include "ReplayCamera.h"

#include "capture/devices/GstHandles.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <string>

namespace {

// What the source's streaming thread needs; owned by the source element.
struct TReplayState
{
    TReplayClip Clip;
    GstBuffer *Frame = nullptr; // the JPEG bytes, shared by every frame sent
    int Sent = 0;

    ~TReplayState()
    {
        if (Frame)
            gst_buffer_unref(Frame);
    }
};

void OnNeedData(GstAppSrc *src, guint, gpointer data)
{
    auto *state = static_cast<TReplayState *>(data);
    if (state->Sent >= state->Clip.Frames) {
        gst_app_src_end_of_stream(src);
        return;
    }
    // A new buffer around the same memory: no bytes are copied.
    GstBuffer *frame = gst_buffer_copy(state->Frame);
    const GstClockTime duration = gst_util_uint64_scale_int(GST_SECOND, 1, state->Clip.Fps);
    GST_BUFFER_PTS(frame) = GstClockTime(state->Sent) * duration;
    GST_BUFFER_DURATION(frame) = duration;
    ++state->Sent;
    gst_app_src_push_buffer(src, frame);
}

TDeviceMode ClipMode(const TReplayClip &clip)
{
    TDeviceMode mode;
    mode.Mode = {MEDIATYPE_Video,  FourCC('M', 'J', 'P', 'G'), clip.Width,      clip.Height, 24,
                 double(clip.Fps), double(clip.Fps),           double(clip.Fps)};
    mode.FpsNumerator = clip.Fps;
    mode.FpsDenominator = 1;
    return mode;
}

class TReplayDevice : public TCaptureDevice
{
public:
    TReplayDevice(TReplayClip clip, QString path)
        : FClip(std::move(clip))
        , FPath(std::move(path))
    {}
    QString FriendlyName() const override { return QStringLiteral("Replay Camera"); }
    QString DevicePath() const override { return FPath; }
    std::vector<TDeviceMode> ReadModes() override { return {ClipMode(FClip)}; }
    TDeviceMode ReadCurrentFormat() override { return ClipMode(FClip); }
    GstElement *CreateSource(const char *name) override { return MakeReplaySource(FClip, name); }
    bool ApplyMode(GstElement *, const TDeviceMode &mode) override
    {
        return mode.Mode == ClipMode(FClip).Mode;
    }
    bool Open(GstElement *source) override
    {
        // Each run sends the whole clip again.
        auto *state = static_cast<TReplayState *>(g_object_get_data(G_OBJECT(source), "replay"));
        if (!state)
            return false;
        state->Sent = 0;
        return true;
    }

private:
    TReplayClip FClip;
    QString FPath;
};

} // namespace

std::vector<std::uint8_t> PrepareJpeg(int width, int height)
{
    gst_init(nullptr, nullptr);
    const std::string description =
        "videotestsrc pattern=smpte num-buffers=1 ! video/x-raw,format=I420,width=" +
        std::to_string(width) + ",height=" + std::to_string(height) +
        " ! jpegenc ! appsink name=out sync=false";
    TGstRef<GstElement> pipeline =
        TGstRef<GstElement>::Adopt(gst_parse_launch(description.c_str(), nullptr));
    if (!pipeline)
        return {};
    TGstRef<GstElement> out =
        TGstRef<GstElement>::Adopt(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    std::vector<std::uint8_t> bytes;
    if (GstSample *sample =
            gst_app_sink_try_pull_sample(GST_APP_SINK(out.get()), 30 * GST_SECOND)) {
        GstMapInfo map;
        GstBuffer *buffer = gst_sample_get_buffer(sample);
        if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            bytes.assign(map.data, map.data + map.size);
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return bytes;
}

GstElement *MakeReplaySource(const TReplayClip &clip, const char *name)
{
    GstElement *bin = gst_bin_new(name);
    GstElement *app = gst_element_factory_make("appsrc", nullptr);
    GstElement *pace = gst_element_factory_make("clocksync", nullptr);
    GstElement *wire = gst_element_factory_make("queue", nullptr);
    if (!app || !pace || !wire || !clip.Jpeg) {
        for (GstElement *e : {app, pace, wire})
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        gst_object_unref(gst_object_ref_sink(bin));
        return nullptr;
    }
    auto state = std::make_unique<TReplayState>();
    state->Clip = clip;
    state->Frame = gst_buffer_new_memdup(clip.Jpeg->data(), clip.Jpeg->size());

    TCapsPtr caps(gst_caps_new_simple("image/jpeg", "width", G_TYPE_INT, clip.Width, "height",
                                      G_TYPE_INT, clip.Height, "framerate", GST_TYPE_FRACTION,
                                      clip.Fps, 1, nullptr));
    g_object_set(app, "caps", caps.get(), "format", GST_FORMAT_TIME, "is-live", TRUE, nullptr);
    gst_util_set_object_arg(G_OBJECT(wire), "leaky", "downstream");
    g_object_set(wire, "max-size-buffers", 3u, "max-size-bytes", 0u, "max-size-time", guint64(0),
                 nullptr);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = OnNeedData;
    gst_app_src_set_callbacks(GST_APP_SRC(app), &callbacks, state.get(), nullptr);

    gst_bin_add_many(GST_BIN(bin), app, pace, wire, nullptr);
    gst_element_link_many(app, pace, wire, nullptr);
    TGstRef<GstPad> out = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(wire, "src"));
    gst_element_add_pad(bin, gst_ghost_pad_new("src", out.get()));
    g_object_set_data_full(G_OBJECT(bin), "replay", state.release(),
                           [](gpointer p) { delete static_cast<TReplayState *>(p); });
    return bin;
}

TReplayProvider::TReplayProvider(TReplayClip clip, QString path)
    : FDevice(std::make_shared<TReplayDevice>(std::move(clip), std::move(path)))
{}

std::vector<TCaptureDevicePtr> TReplayProvider::Enumerate()
{
    return {FDevice};
}
