#include "capture/engine/CaptureGraph.h"

#include "capture/devices/CaptureLog.h"
#include "capture/engine/HandOver.h"
#include "capture/engine/SampleGrabberCB.h"
#include "capture/engine/SampleSink.h"

#include <QCoreApplication>
#include <gst/app/gstappsink.h>
#include <gst/video/gstvideodecoder.h>
#include <gst/video/video.h>
#include <vector>

namespace {

// The grabber stage: a buffer probe on the output of the BGR caps filter,
// where each frame is still writable, before the renderer gets it.
struct TGrabberProbe
{
    TSampleGrabberCB *Callback = nullptr;
    TCapsPtr Caps; // the caps Info was read from
    GstVideoInfo Info{};
    bool HaveInfo = false;
};

GstPadProbeReturn OnGrabberData(GstPad *pad, GstPadProbeInfo *info, gpointer data)
{
    auto *probe = static_cast<TGrabberProbe *>(data);
    TakeHandOver(probe); // built on the UI thread, given over with the pad's probe list
    if (!(info->type & GST_PAD_PROBE_TYPE_BUFFER))
        return GST_PAD_PROBE_OK;
    // The frame's format is the pad's current caps, read again when they
    // change. (Reading them from the caps event instead would touch an event
    // that GStreamer may have created on another streaming thread.)
    if (TCapsPtr caps(gst_pad_get_current_caps(pad)); caps.get() != probe->Caps.get()) {
        probe->HaveInfo = caps && gst_video_info_from_caps(&probe->Info, caps.get());
        probe->Caps = std::move(caps);
    }
    if (!probe->HaveInfo || GST_VIDEO_INFO_FORMAT(&probe->Info) != GST_VIDEO_FORMAT_BGR) {
        probe->Callback->FrameArrived();
        return GST_PAD_PROBE_OK;
    }
    GstBuffer *buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &probe->Info, buffer, GST_MAP_READWRITE)) {
        probe->Callback->FrameArrived();
        return GST_PAD_PROBE_OK;
    }
    // Pooled memory that the picture window may have read as an earlier frame.
    TakeHandOver(frame.map[0].data);
    auto *data0 = static_cast<std::uint8_t *>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const auto *end = frame.map[0].data + frame.map[0].size;
    const TFrameLayout layout{data0, std::size_t(end - data0), GST_VIDEO_FRAME_WIDTH(&frame),
                              GST_VIDEO_FRAME_HEIGHT(&frame),
                              GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0)};
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    probe->Callback->BufferCB(GST_CLOCK_TIME_IS_VALID(pts) ? double(pts) / GST_SECOND : 0.0,
                              layout);
    gst_video_frame_unmap(&frame);
    return GST_PAD_PROBE_OK;
}

GstFlowReturn OnRendererSample(GstAppSink *sink, gpointer target)
{
    TakeHandOver(target); // built on the UI thread, given over with the sink's callbacks
    if (GstSample *sample = gst_app_sink_pull_sample(sink)) {
        static_cast<TSampleSink *>(target)->Present(sample);
        gst_sample_unref(sample);
    }
    return GST_FLOW_OK;
}

bool IsMjpeg(const TDeviceMode &mode)
{
    return mode.Mode.MediaSubType == FourCC('M', 'J', 'P', 'G') ||
           mode.Mode.MediaSubType == FourCC('J', 'P', 'E', 'G');
}

} // namespace

TCaptureGraph::TCaptureGraph(TSampleGrabberCB &grabber)
    : FGrabber(grabber)
    , FStageFactory([](const char *factory, const char *name) {
        return gst_element_factory_make(factory, name);
    })
{
    FGrabber.SetOwner(this);
}

TCaptureGraph::~TCaptureGraph()
{
    OnFirstFrame = nullptr;
    OnLost = nullptr;
    OnFrameReady = nullptr;
    OnAttachSink = nullptr;
    OnDetachSink = nullptr;
    Release();
    FGrabber.SetOwner(nullptr);
    QCoreApplication::removePostedEvents(this);
}

// ---- the camera ----

bool TCaptureGraph::Init()
{
    if (!FGraph)
        FGraph = TGstRef<GstElement>::Adopt(gst_pipeline_new("KARVOGraph"));
    return bool(FGraph);
}

bool TCaptureGraph::Bind(const TCaptureDevicePtr &device, const QString &name)
{
    Release();
    if (!device)
        return false;
    TGstRef<GstElement> source =
        TGstRef<GstElement>::Adopt(device->CreateSource(name.toUtf8().constData()));
    if (!source)
        return false;
    FGraph = TGstRef<GstElement>::Adopt(gst_pipeline_new("KARVOGraph"));
    if (!FGraph || !gst_bin_add(GST_BIN(FGraph.get()), source.get())) {
        FGraph.reset();
        return false;
    }
    FSource = source;
    FDevice = device;
    return true;
}

void TCaptureGraph::Release()
{
    Stop();
    TearDown(); // also when the pipeline refused to stop
    if (FGraph)
        gst_element_set_state(FGraph.get(), GST_STATE_NULL);
    FRunning = false;
    FGraph.reset();
    FSource.reset();
    FDevice.reset();
    FCurrentFormat = {};
}

bool TCaptureGraph::SetFormat(const TDeviceMode &mode)
{
    FCurrentFormat = mode;
    return FDevice && FSource && FDevice->ApplyMode(FSource.get(), mode);
}

bool TCaptureGraph::ApplyMode(const TDeviceMode &mode)
{
    if (!FDevice || !FSource || !FDevice->ApplyMode(FSource.get(), mode))
        return false;
    FCurrentFormat = mode;
    return true;
}

// ---- building ----

TGstRef<GstElement> TCaptureGraph::MakeStage(const char *factory, const char *name)
{
    return TGstRef<GstElement>::Adopt(FStageFactory ? FStageFactory(factory, name) : nullptr);
}

bool TCaptureGraph::AddStage(const TGstRef<GstElement> &stage)
{
    return stage && gst_bin_add(GST_BIN(FGraph.get()), stage.get());
}

bool TCaptureGraph::Fail(const char *text)
{
    qCWarning(lcCapture).noquote() << text;
    // The stages added so far stay; a device opened for the connection is
    // closed again.
    gst_element_set_state(FGraph.get(), GST_STATE_NULL);
    return false;
}

bool TCaptureGraph::ConnectStages(GstElement *from, GstPad *fromPad, GstElement *to)
{
    if (!from || !to)
        return false;
    TGstRef<GstPad> out = fromPad ? TGstRef<GstPad>::Share(fromPad)
                                  : TGstRef<GstPad>::Adopt(gst_element_get_static_pad(from, "src"));
    TGstRef<GstPad> in = TGstRef<GstPad>::Adopt(gst_element_get_static_pad(to, "sink"));
    return out && in && !gst_pad_is_linked(out.get()) && !gst_pad_is_linked(in.get()) &&
           GST_PAD_LINK_SUCCESSFUL(gst_pad_link(out.get(), in.get()));
}

// Stages of an earlier build that failed are still in the pipeline: they go
// before new ones take their names.
void TCaptureGraph::RemoveStages()
{
    if (!FGraph)
        return;
    GstBin *bin = GST_BIN(FGraph.get());
    std::vector<TGstRef<GstElement>> stages;
    GST_OBJECT_LOCK(bin);
    for (GList *l = bin->children; l; l = l->next)
        if (l->data != FSource.get())
            stages.push_back(TGstRef<GstElement>::Share(GST_ELEMENT(l->data)));
    GST_OBJECT_UNLOCK(bin);
    for (const auto &stage : stages) {
        gst_element_set_state(stage.get(), GST_STATE_NULL);
        gst_bin_remove(bin, stage.get());
    }
}

bool TCaptureGraph::Build()
{
    if (!FGraph)
        return false;
    if (FBuilt)
        return true;
    if (!FSource || !FDevice)
        return false;
    if (FPreviewPin && FSmartTee)
        gst_element_release_request_pad(FSmartTee.get(), FPreviewPin.get());
    FPreviewPin.reset();
    RemoveStages();

    if (!(FSmartTee = MakeStage("tee", "KARVOSmartTee")))
        return Fail("CLSID_SmartTee Fail");
    if (!(FGrabberStage = MakeStage("capsfilter", "KARVOBitmapGrabber")))
        return Fail("Grabber Fail");
    if (!(FRenderFilter = MakeStage("appsink", "KARVORenderFilter")))
        return Fail("FRenderFilter Fail");
    if (!AddStage(FGrabberStage))
        return Fail("Grabber AddFilter Fail");
    TGstRef<GstPad> grabberOut =
        TGstRef<GstPad>::Adopt(gst_element_get_static_pad(FGrabberStage.get(), "src"));
    if (!grabberOut)
        return Fail("QueryInterface IID_ISampleGrabber  Fail");
    if (FPixelFormat != pfDevice) {
        TCapsPtr bgr(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGR", nullptr));
        g_object_set(FGrabberStage.get(), "caps", bgr.get(), nullptr);
    }
    // The probe's data goes to the streaming thread through the pad's probe
    // list, which GStreamer guards with a lock of its own.
    auto probe = std::make_unique<TGrabberProbe>();
    probe->Callback = &FGrabber;
    PublishHandOver(probe.get());
    gst_pad_add_probe(grabberOut.get(), GST_PAD_PROBE_TYPE_BUFFER, OnGrabberData, probe.release(),
                      [](gpointer p) { delete static_cast<TGrabberProbe *>(p); });

    if (!AddStage(FRenderFilter))
        return Fail("Redner AddFilter Fail");
    if (!AddStage(FSmartTee))
        return Fail("Smart Tee AddFilter Fail");

    const bool mjpeg = IsMjpeg(FCurrentFormat);
    if (!(FDecoder = MakeStage(mjpeg ? "jpegdec" : "identity", "KARVOMJPEG")))
        return Fail("MJPEG FIlter Fail");
    // A damaged frame is dropped with a warning, never the end of the stream.
    if (GST_IS_VIDEO_DECODER(FDecoder.get()))
        gst_video_decoder_set_max_errors(GST_VIDEO_DECODER(FDecoder.get()), -1);
    if (!AddStage(FDecoder))
        return Fail("MJPEG Add Filter Fail");
    if (!(FRotateFilter = MakeStage("videoflip", "KARVORoateFilter")))
        return Fail("Rotate FIlter Fail");
    if (!AddStage(FRotateFilter))
        return Fail("Rotate Add Filter Fail");
    ApplyRotation();
    if (!(FColorSpaceConvert = MakeStage("videoconvert", "Color Convert")))
        return Fail("Color Space Fail");
    if (!AddStage(FColorSpaceConvert))
        return Fail("Color Space Add Filter Fail");

    if (!FDevice->Open(FSource.get()) || !ConnectStages(FSource.get(), nullptr, FSmartTee.get()))
        return Fail("Smart Tee Connect Fail");
    FPreviewPin = TGstRef<GstPad>::Adopt(gst_element_request_pad_simple(FSmartTee.get(), "src_%u"));
    if (!FPreviewPin || !ConnectStages(FSmartTee.get(), FPreviewPin.get(), FDecoder.get()))
        return Fail("MJPEG Connect Fail");
    if (!ConnectStages(FDecoder.get(), nullptr, FRotateFilter.get()))
        return Fail("Rotate Connect Fail");
    if (!ConnectStages(FRotateFilter.get(), nullptr, FColorSpaceConvert.get()))
        return Fail("Color Convert Connect Fail");
    if (!ConnectStages(FColorSpaceConvert.get(), nullptr, FGrabberStage.get()))
        return Fail("SampleGrabber Connect Fail");
    if (!ConnectStages(FGrabberStage.get(), nullptr, FRenderFilter.get()))
        return Fail("Render Connect Fail");
    if (!AttachSink()) {
        gst_element_set_state(FGraph.get(), GST_STATE_NULL);
        return false;
    }

    TGstRef<GstBus> bus = TGstRef<GstBus>::Adopt(gst_element_get_bus(FGraph.get()));
    if (bus) {
        PublishHandOver(this); // to the threads that post on the bus
        gst_bus_set_sync_handler(bus.get(), &TCaptureGraph::OnBusMessage, this, nullptr);
        FBusWatched = true;
    }
    FBuilt = true;
    return true;
}

void TCaptureGraph::ApplyRotation()
{
    GObject *stage = G_OBJECT(FRotateFilter.get());
    if (!stage || !g_object_class_find_property(G_OBJECT_GET_CLASS(stage), "video-direction"))
        return;
    // The direction's values 0..5 are the rotation's ordinals: identity, 90
    // clockwise, 180, 90 counter-clockwise, mirror left-right, mirror
    // top-bottom. (Its "method" property is not used.)
    if (FRotation > vrtFlipVert) {
        qCWarning(lcCapture) << "rotate Fail";
        return;
    }
    g_object_set(stage, "video-direction", int(FRotation), nullptr);
}

bool TCaptureGraph::AttachSink()
{
    GstAppSink *sink =
        GST_IS_APP_SINK(FRenderFilter.get()) ? GST_APP_SINK(FRenderFilter.get()) : nullptr;
    if (!sink)
        return false;
    // Formats a picture window can show; the grabber's BGR among them.
    TCapsPtr caps(gst_caps_from_string("video/x-raw,format={BGR,BGRx,BGRA,RGB,RGBx,RGBA}"));
    gst_app_sink_set_caps(sink, caps.get());
    // The newest frame only: the picture never holds the stream up.
    g_object_set(sink, "sync", FALSE, "max-buffers", 1u, "drop", TRUE, "enable-last-sample", FALSE,
                 "qos", FALSE, nullptr);
    TSampleSink *target = OnAttachSink ? OnAttachSink() : nullptr;
    if (target) {
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = OnRendererSample;
        PublishHandOver(target);
        gst_app_sink_set_callbacks(sink, &callbacks, target, nullptr);
    }
    return true;
}

// ---- runs ----

bool TCaptureGraph::Start()
{
    if (FGraph && FRunning)
        return true;
    if (!Build())
        return false;
    if (gst_element_set_state(FGraph.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        qCWarning(lcCapture) << "the pipeline does not run";
        gst_element_set_state(FGraph.get(), GST_STATE_NULL);
        return false;
    }
    FRunning = true;
    FFirstFrame = true;
    return true;
}

bool TCaptureGraph::Stop()
{
    if (FRunning && FGraph &&
        gst_element_set_state(FGraph.get(), GST_STATE_NULL) == GST_STATE_CHANGE_FAILURE)
        return false;
    FRunning = false;
    TearDown();
    return true;
}

void TCaptureGraph::Pause()
{
    if (!FGraph)
        return;
    if (gst_element_set_state(FGraph.get(), GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        qCDebug(lcCapture) << "the pipeline does not pause";
}

void TCaptureGraph::TearDown()
{
    if (FGraph)
        gst_element_set_state(FGraph.get(), GST_STATE_NULL);
    FRunning = false;
    FFirstFrame = true;
    if (FBusWatched && FGraph) {
        TGstRef<GstBus> bus = TGstRef<GstBus>::Adopt(gst_element_get_bus(FGraph.get()));
        gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
        gst_bus_set_flushing(bus.get(), TRUE);
        gst_bus_set_flushing(bus.get(), FALSE);
    }
    FBusWatched = false;
    if (FRenderFilter && GST_IS_APP_SINK(FRenderFilter.get())) {
        GstAppSinkCallbacks none{};
        gst_app_sink_set_callbacks(GST_APP_SINK(FRenderFilter.get()), &none, nullptr, nullptr);
    }
    if (FBuilt && OnDetachSink)
        OnDetachSink();
    if (FPreviewPin && FSmartTee)
        gst_element_release_request_pad(FSmartTee.get(), FPreviewPin.get());
    FPreviewPin.reset();
    RemoveStages();
    FSmartTee.reset();
    FGrabberStage.reset();
    FRenderFilter.reset();
    FColorSpaceConvert.reset();
    FDecoder.reset();
    FRotateFilter.reset();
    FBuilt = false;
    // Nothing streams now: messages of the run that ended are void.
    QCoreApplication::removePostedEvents(this, WM_FRAMEARRIVED);
    QCoreApplication::removePostedEvents(this, WM_FRAMEREADY);
    QCoreApplication::removePostedEvents(this, WM_GRAPHNOTIFY);
}

// ---- events ----

GstBusSyncReply TCaptureGraph::OnBusMessage(GstBus *, GstMessage *message, gpointer data)
{
    // Any thread. Only what the pipeline acts on is kept on the bus.
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_WARNING:
        break;
    default:
        // A dropped message is the handler's to free; each one holds its
        // stage, and a stage kept alive keeps its buffer pool (descriptors).
        gst_message_unref(message);
        return GST_BUS_DROP;
    }
    auto *self = static_cast<TCaptureGraph *>(data);
    TakeHandOver(self); // given over with the bus's handler
    PostFlagged<TGrabberEvent>(self, self->FBusPending, WM_GRAPHNOTIFY, nullptr);
    return GST_BUS_PASS;
}

bool TCaptureGraph::event(QEvent *e)
{
    switch (int(e->type())) {
    case WM_GRAPHNOTIFY:
        // Taken before the bus is drained: a message that comes while the
        // handlers run (a restarted run failing again) posts anew.
        static_cast<TGrabberEvent *>(e)->Take();
        HandleBus();
        return true;
    case WM_FRAMEARRIVED:
        static_cast<TGrabberEvent *>(e)->Take();
        FrameArrived();
        return true;
    case WM_FRAMEREADY:
        if (auto *cb = static_cast<TGrabberEvent *>(e)->Callback(); cb && OnFrameReady)
            OnFrameReady(*cb);
        return true;
    default:
        return QObject::event(e);
    }
}

void TCaptureGraph::FrameArrived()
{
    if (!FFirstFrame || !FRunning)
        return;
    FFirstFrame = false;
    if (OnFirstFrame)
        OnFirstFrame();
}

void TCaptureGraph::HandleBus()
{
    if (!FGraph)
        return;
    TGstRef<GstBus> bus = TGstRef<GstBus>::Adopt(gst_element_get_bus(FGraph.get()));
    while (bus) {
        TMessagePtr message(gst_bus_pop(bus.get()));
        if (!message)
            break;
        const char *from = GST_MESSAGE_SRC_NAME(message.get());
        switch (GST_MESSAGE_TYPE(message.get())) {
        case GST_MESSAGE_ERROR: {
            GError *raw = nullptr;
            gchar *debug = nullptr;
            gst_message_parse_error(message.get(), &raw, &debug);
            TErrorPtr err(raw);
            TGCharPtr details(debug);
            Lost(QStringLiteral("%1: %2 (%3)")
                     .arg(QString::fromUtf8(from ? from : "?"),
                          QString::fromUtf8(err ? err->message : ""),
                          QString::fromUtf8(debug ? debug : "")));
            return; // the owner's stop flushed the bus
        }
        case GST_MESSAGE_EOS:
            Lost(QStringLiteral("the camera's stream ended"));
            return;
        case GST_MESSAGE_WARNING: {
            GError *raw = nullptr;
            gst_message_parse_warning(message.get(), &raw, nullptr);
            TErrorPtr err(raw);
            qCDebug(lcCapture).noquote() << from << ":" << (err ? err->message : "");
            break;
        }
        default:
            break;
        }
    }
}

void TCaptureGraph::Lost(const QString &why)
{
    qCWarning(lcCapture).noquote() << "device lost:" << why;
    if (!FRunning)
        return;
    const bool starting = FFirstFrame;
    if (OnLost)
        OnLost(starting);
    else
        Stop();
}
