#pragma once

// The capture pipeline of the bound camera:
//   camera source -> tee "KARVOSmartTee" (its preview output) ->
//   decoder "KARVOMJPEG" (jpegdec, or a pass-through for raw modes) ->
//   rotation "KARVORoateFilter" (videoflip) -> "Color Convert" (to BGR) ->
//   grabber "KARVOBitmapGrabber" (effects in place, on the streaming thread) ->
//   renderer "KARVORenderFilter" (frames to a TSampleSink).
// The camera's source stays between runs; the other stages are built fresh
// for every start and go at every stop. It owns the pipeline, its stages,
// the bus watch and the run state, and lives on the UI thread: bus messages
// and frames reach it as posted events, the streaming threads never wait
// for it. It knows nothing of widgets.
//
// Run states: stopped (nothing built), running (built and playing; its first
// frame announced once through OnFirstFrame), paused. A stop the pipeline
// refuses leaves it running as it is.

#include "capture/devices/CaptureDevice.h"
#include "capture/devices/CaptureTypes.h"
#include "capture/devices/GstHandles.h"
#include "capture/engine/PostedFlag.h"

#include <QObject>
#include <QString>
#include <functional>

class TSampleGrabberCB;
class TSampleSink;

class TCaptureGraph : public QObject
{
    Q_OBJECT
public:
    // `grabber` receives every frame and outlives the pipeline; its messages
    // are posted to this object.
    explicit TCaptureGraph(TSampleGrabberCB &grabber);
    ~TCaptureGraph() override;

    // ---- the camera ----
    // An empty pipeline while no camera is bound; false when GStreamer cannot
    // make one.
    bool Init();
    // Binds `device` under `name`: a new pipeline with the camera's source.
    // False (nothing bound) when the source cannot be made.
    bool Bind(const TCaptureDevicePtr &device, const QString &name);
    // Stops and drops everything: the run, the pipeline, the source, the binding.
    void Release();
    // Puts `mode` on the source; the format the pipeline is built for
    // becomes `mode` whether or not the source took it. False when refused.
    bool SetFormat(const TDeviceMode &mode);
    // Puts `mode` on the source when it takes it; false (the format unchanged)
    // otherwise.
    bool ApplyMode(const TDeviceMode &mode);
    const TDeviceMode &CurrentFormat() const { return FCurrentFormat; }
    const TCaptureDevicePtr &Device() const { return FDevice; }
    GstElement *Pipeline() const { return FGraph.get(); }
    GstElement *Source() const { return FSource.get(); }

    // ---- how the next run is built ----
    using TStageFactory = std::function<GstElement *(const char *factory, const char *name)>;
    // Creates each stage; a stage whose factory returns null fails the build
    // as a missing plugin does.
    void SetStageFactory(TStageFactory factory) { FStageFactory = std::move(factory); }
    // The format the grabber demands and the rotation of the picture; the
    // pipeline is the one place that holds them, and a build reads them.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat value) { FPixelFormat = value; }
    TVideoRotationType Rotation() const { return FRotation; }
    void SetRotation(TVideoRotationType value) { FRotation = value; }
    // Called at the end of each build for the renderer's sink (null: frames
    // are dropped), and when the run's stages go, once no frame reaches the
    // sink any more.
    std::function<TSampleSink *()> OnAttachSink;
    std::function<void()> OnDetachSink;

    // ---- runs ----
    // Builds the stages (unless built) and plays them; false (logged) when
    // the build fails or the pipeline does not run.
    bool Start();
    // Stops the run and its stages go. False when the pipeline refuses to
    // stop: it then runs on as it is.
    bool Stop();
    // The run's stages go, whether or not the pipeline stopped; nothing
    // streams afterwards.
    void TearDown();
    void Pause();
    bool Running() const { return FRunning; }
    bool Built() const { return FBuilt; }
    // The current run has shown its first frame.
    bool FirstFrameShown() const { return FRunning && !FFirstFrame; }

    // ---- events (UI thread; skipped when unassigned) ----
    // The first frame of a run passed the grabber.
    std::function<void()> OnFirstFrame;
    // The stream failed or ended (a camera that went away) while running:
    // GStreamer does not recover from it, the owner stops the run.
    // `beforeFirstFrame`: the run never showed a frame.
    std::function<void(bool beforeFirstFrame)> OnLost;
    // A frame was copied into the grabber buffer.
    std::function<void(TSampleGrabberCB &cb)> OnFrameReady;

protected:
    bool event(QEvent *e) override;

private:
    bool Build();
    TGstRef<GstElement> MakeStage(const char *factory, const char *name);
    bool AddStage(const TGstRef<GstElement> &stage);
    bool ConnectStages(GstElement *from, GstPad *fromPad, GstElement *to);
    void RemoveStages();
    bool Fail(const char *text);
    void ApplyRotation();
    bool AttachSink();
    void HandleBus();
    void Lost(const QString &why);
    void FrameArrived();
    static GstBusSyncReply OnBusMessage(GstBus *bus, GstMessage *message, gpointer self);

    TSampleGrabberCB &FGrabber;
    TStageFactory FStageFactory;
    TPixelFormat FPixelFormat = pf24bit;
    TVideoRotationType FRotation = vrtNone;
    TGstRef<GstElement> FGraph;  // the pipeline
    TGstRef<GstElement> FSource; // the camera's source, kept between runs
    TCaptureDevicePtr FDevice;   // the camera bound
    TDeviceMode FCurrentFormat;  // the format applied to the source
    TGstRef<GstElement> FSmartTee, FDecoder, FRotateFilter, FColorSpaceConvert, FGrabberStage,
        FRenderFilter;
    TGstRef<GstPad> FPreviewPin; // the tee's output to the decoder
    bool FBusWatched = false;    // bus messages are posted to this object
    bool FBuilt = false, FRunning = false, FFirstFrame = true;
    // A bus message is on its way.
    TPostedFlagPtr FBusPending = std::make_shared<TPostedFlag>();
};
