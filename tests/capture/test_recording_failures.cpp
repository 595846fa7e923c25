// What a recording does when something fails: unusable libraries, an output
// file that cannot be created, a camera lost mid-recording, an encode that
// ends on its own.
#include "RecordingTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <atomic>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

using namespace std::chrono_literals;

// Every file and folder under ARoot, sorted, one a line.
std::string Tree(const QString &ARoot)
{
    QStringList entries;
    QDirIterator it(ARoot, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << it.next();
    entries.sort();
    return entries.join(u'\n').toStdString();
}

// A stage that refuses to stop while RefuseToStop is set: the element type of
// a real factory with a state change that fails on the way down from PLAYING.
std::atomic<bool> RefuseToStop{false};
GstElementClass *StubbornParent = nullptr;

GstStateChangeReturn StubbornChangeState(GstElement *element, GstStateChange transition)
{
    if (RefuseToStop && transition == GST_STATE_CHANGE_PLAYING_TO_PAUSED)
        return GST_STATE_CHANGE_FAILURE;
    return StubbornParent->change_state(element, transition);
}

GstElement *MakeStubborn(const char *factory, const char *name)
{
    static const GType type = [factory] {
        TGstRef<GstPluginFeature> loaded = TGstRef<GstPluginFeature>::Adopt(
            gst_plugin_feature_load(GST_PLUGIN_FEATURE(gst_element_factory_find(factory))));
        const GType parent =
            gst_element_factory_get_element_type(GST_ELEMENT_FACTORY(loaded.get()));
        GTypeQuery query{};
        g_type_query(parent, &query);
        GTypeInfo info{};
        info.class_size = guint16(query.class_size);
        info.instance_size = guint16(query.instance_size);
        info.class_init = [](gpointer klass, gpointer) {
            StubbornParent = GST_ELEMENT_CLASS(g_type_class_peek_parent(klass));
            GST_ELEMENT_CLASS(klass)->change_state = StubbornChangeState;
        };
        return g_type_register_static(parent, "OvilenTestStubbornStage", &info, GTypeFlags(0));
    }();
    return GST_ELEMENT(g_object_new(type, "name", name, nullptr));
}

TEST_F(Recorder, UnusableLibrariesLeaveTheComponentAsItWas)
{
    UseNoSoundDevice(Home);
    UseCamera(320, 240);
    TCaptureLog log;
    TEncoderRequirements missing;
    missing.VideoEncoder = "no-such-video-encoder";
    Cap.ReloadEncoder(missing);
    EXPECT_FALSE(Cap.EncoderLoaded());
    EXPECT_FALSE(log.Lines().filter(QStringLiteral("no-such-video-encoder")).isEmpty())
        << log.Lines().join(u'\n').toStdString();

    ASSERT_TRUE(Cap.StartPreview());
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == 1; }));
    GstElement *tee = gst_bin_get_by_name(GST_BIN(Cap.Graph()), "KARVOSmartTee");
    const int changes = Cap.ChangeFilterCount;
    Cap.SetGrayscale(true);
    const std::string file = File("never.mp4");
    Cap.SetRecordFilename(QString::fromStdString(file));

    EXPECT_FALSE(Cap.StartRecord());
    // The running preview keeps running, untouched.
    EXPECT_FALSE(Cap.Recording());
    EXPECT_TRUE(Cap.Previewing());
    EXPECT_TRUE(Cap.Grayscale());
    GstElement *teeAfter = gst_bin_get_by_name(GST_BIN(Cap.Graph()), "KARVOSmartTee");
    EXPECT_EQ(tee, teeAfter);
    GstState state = GST_STATE_NULL;
    gst_element_get_state(Cap.Graph(), &state, nullptr, GST_CLOCK_TIME_NONE);
    EXPECT_EQ(state, GST_STATE_PLAYING);
    gst_object_unref(tee);
    gst_object_unref(teeAfter);
    EXPECT_EQ(Cap.ChangeFilterCount, changes + 1); // the grayscale switch only
    EXPECT_EQ(Cap.StopPreviewCount, 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file)));
    Cap.StopRecord(); // harmless
}

TEST_F(Recorder, OutputThatCannotBeCreatedFailsTheStart)
{
    UseNoSoundDevice(Home);
    UseCamera(320, 240);
    // A relative (here: empty) name is taken from the current folder; make it
    // one inside the home folder, which is watched whole.
    const QString previousFolder = QDir::currentPath();
    ASSERT_TRUE(QDir().mkpath(Home.file("current")));
    ASSERT_TRUE(QDir::setCurrent(Home.file("current")));
    const QString names[] = {Home.documents() + QStringLiteral("/no such folder/clip.mp4"),
                             Home.documents(), QString()};
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const std::string before = Tree(Home.path());
        const int changes = Cap.ChangeFilterCount, previews = Cap.StartPreviewCount;
        Cap.SetRecordFilename(name);
        EXPECT_FALSE(Cap.StartRecord());
        EXPECT_FALSE(Cap.Recording());
        EXPECT_EQ(Cap.ChangeFilterCount, changes);
        // Left as any failure after the pipeline started: the live picture runs
        // and the caller restarts it with its own settings.
        EXPECT_TRUE(Cap.Previewing());
        ASSERT_TRUE(WaitUntil([&] { return Cap.StartPreviewCount == previews + 1; }));
        EXPECT_EQ(Cap.StartRecordCount, 0);
        EXPECT_FALSE(Cap.GrabberCB().GrabbingEnabled());
        // Nothing was created at or under the name, nor anywhere else.
        EXPECT_EQ(Tree(Home.path()), before);
    }
    QDir::setCurrent(previousFolder);
    EXPECT_FALSE(QFileInfo::exists(names[0]));
    EXPECT_FALSE(QFileInfo::exists(Home.documents() + QStringLiteral("/no such folder")));
    EXPECT_FALSE(Cap.EncodeWorking());

    // The encoder is free for the next recording.
    const std::string file = File("good.mp4");
    ASSERT_GT(Record(file, 500ms), 0);
    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
}

TEST_F(Recorder, CameraLostMidRecordingFinishesTheFile)
{
    UseTestSoundDevice(Home);
    UseCamera(320, 240);
    const std::string file = File("lost.mp4");
    Cap.SetRecordFilename(QString::fromStdString(file));
    ASSERT_TRUE(Cap.StartRecord());
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartRecordCount == 1; }));
    Spin(1500);
    ASSERT_TRUE(TSimulatedCameras::DropOut(DocCam));
    ASSERT_TRUE(WaitUntil([&] { return !Cap.Previewing(); }));
    const double recorded = double(clock.nsecsElapsed()) / 1e9;
    EXPECT_FALSE(Cap.Recording());
    EXPECT_EQ(Cap.StopRecordCount, 1);
    // The encode ends by itself, without a StopRecord.
    ASSERT_TRUE(WaitUntil([&] { return !Cap.EncodeWorking(); }, 5000));
    const int stamps = int(Cap.Stamps.size());
    Spin(300);
    EXPECT_EQ(int(Cap.Stamps.size()), stamps); // no more frame requests

    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    const TProbedStream *audio = probe.Find(AVMEDIA_TYPE_AUDIO);
    ASSERT_TRUE(video && audio);
    EXPECT_NEAR(video->Duration, recorded, 0.3);
    // (Under ThreadSanitizer the picture side runs slowly enough to fall behind.)
    EXPECT_NEAR(audio->Duration, video->Duration, TimingHolds ? 0.2 : 0.6);
    EXPECT_EQ(TopLevelBoxes(file).back(), "mfra");

    // Plugged in again, the camera records again: nothing of the lost
    // recording holds the encoder.
    TSimulatedCameras::PlugIn(DocCam);
    const std::string again = File("again.mp4");
    ASSERT_GT(Record(again, 500ms), 0);
    EXPECT_TRUE(ProbeFile(again).Ok);
}

TEST_F(Recorder, EncodeEndingOnItsOwnEndsTheRecordingAndKeepsThePicture)
{
    UseNoSoundDevice(Home);
    UseCamera(320, 240);
    // A file size limit stands in for a full disk.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 96 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Cap.SetRecordFilename(QString::fromStdString(File("full.mp4")));
    const bool started = Cap.StartRecord();
    const bool ended = WaitUntil([&] { return Cap.StopRecordCount == 1; }, 15000);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    ASSERT_TRUE(started);
    ASSERT_TRUE(ended);
    EXPECT_FALSE(Cap.Recording());
    EXPECT_FALSE(Cap.EncodeWorking());
    // The live picture comes back; no still is taken from the recording's frames.
    ASSERT_TRUE(WaitUntil([&] { return Cap.Previewing() && Cap.StartPreviewCount == 1; }));
    const int ready = Cap.FrameReadyCount;
    Spin(300);
    EXPECT_EQ(Cap.FrameReadyCount, ready);
}

// A stop the pipeline refuses still ends the recording in one step: one
// OnStopRecord, Recording false at once, the file finished, and nothing more
// when the encode then finishes; the pipeline runs on as a preview.
TEST_F(Recorder, StopRefusedByThePipelineStillEndsTheRecordingOnce)
{
    UseNoSoundDevice(Home);
    UseCamera(320, 240);
    Cap.SetStageFactory([](const char *factory, const char *name) {
        return std::strcmp(name, "Color Convert") == 0 ? MakeStubborn(factory, name)
                                                       : gst_element_factory_make(factory, name);
    });
    const std::string file = File("refused.mp4");
    Cap.SetRecordFilename(QString::fromStdString(file));
    ASSERT_TRUE(Cap.StartRecord());
    ASSERT_TRUE(WaitUntil([&] { return Cap.StartRecordCount == 1; }));
    Spin(500);

    RefuseToStop = true;
    Cap.StopRecord();
    EXPECT_FALSE(Cap.Recording());
    EXPECT_EQ(Cap.StopRecordCount, 1);
    EXPECT_TRUE(Cap.Previewing());
    ASSERT_TRUE(Cap.WaitForFile());
    const int ready = Cap.FrameReadyCount;
    Spin(300); // the encode's end reaches the component
    EXPECT_FALSE(Cap.Recording());
    EXPECT_EQ(Cap.StopRecordCount, 1);
    EXPECT_EQ(Cap.StopPreviewCount, 0);
    EXPECT_EQ(Cap.FrameReadyCount, ready); // no still from the recording's grabs
    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    EXPECT_EQ(TopLevelBoxes(file).back(), "mfra");

    // Once it lets go, the pipeline stops as a preview does.
    RefuseToStop = false;
    Cap.StopPreview();
    EXPECT_FALSE(Cap.Previewing());
    EXPECT_EQ(Cap.StopRecordCount, 1);
    EXPECT_EQ(Cap.StopPreviewCount, 1);
}

} // namespace
