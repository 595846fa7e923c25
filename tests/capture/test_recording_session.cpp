// The recording session without a component: its states, exactly one end per
// recording whatever ends it, the wait for the previous file, and the
// recording clock, whose stamps are the ones the file carries.
#include "RecordingTestSupport.h"
#include "capture/engine/RecordingSession.h"
#include "capture/engine/SampleGrabberCB.h"
#include "encoding/FrameInput.h"
#include "encoding/RecordClock.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>

namespace {

using namespace std::chrono_literals;

// ---- the clock ----

constexpr std::int64_t NotServed = -1; // the request is not served (the UI thread was busy)

struct TClockCase
{
    const char *Name;
    std::vector<std::int64_t> At;       // when each request is served, microseconds
    std::vector<std::int64_t> Expected; // the stamps of the served frames
};

void PrintTo(const TClockCase &c, std::ostream *os)
{
    *os << c.Name;
}

class RecordClockStamps : public testing::TestWithParam<TClockCase>
{};

// What the window shows while recording (the stamp the clock gives) is what
// the frame input puts on the frame, whatever the requests' timing.
TEST_P(RecordClockStamps, TheShownTimeIsTheStampTheFileCarries)
{
    const TClockCase &c = GetParam();
    TFrameInputAdapter adapter;
    TRecordClock clock;
    const auto start = TRecordClock::Now();
    std::vector<std::int64_t> shown;
    std::size_t call = 0;
    adapter.SetOnReadFrameBMP([&](TFrameInputAdapter *, std::uint8_t *, TInputFrameInfo *info) {
        const std::int64_t at = c.At[call++];
        if (at != NotServed)
            shown.push_back(clock.StampFrame(*info, start + std::chrono::microseconds(at)));
        return 0;
    });
    TInputSettings settings;
    settings.Kind = TInputKind::FrameInput;
    settings.Width = 32;
    settings.Height = 16;
    settings.FrameRate = {30, 1};
    TFrameInput input(TFrameInputAdapter::Find(adapter.InputName()), settings);
    std::vector<std::int64_t> carried;
    for (std::int64_t at : c.At) {
        std::int64_t pts = 0;
        ASSERT_EQ(input.ReadFrame({}, pts), 0);
        if (at != NotServed)
            carried.push_back(pts);
    }
    EXPECT_EQ(shown, carried);
    EXPECT_EQ(carried, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordClockStamps,
    testing::Values(
        TClockCase{"FollowsTheTime", {0, 40000, 75500, 110000}, {0, 40000, 75500, 110000}},
        // The second request at the same instant cannot carry the same stamp:
        // the frame input gives it one period (30/1) after the first.
        TClockCase{"TwoRequestsAtOneInstant", {0, 40000, 40000, 90000}, {0, 40000, 73333, 90000}},
        // The clock starts at the frame input's own count, one period in.
        TClockCase{"FirstRequestNotServed", {NotServed, 5000, 45000}, {33333, 73333}}),
    [](const auto &info) { return std::string(info.param.Name); });

// ---- the session ----

class Session : public testing::Test
{
protected:
    Session()
    {
        UseNoSoundDevice(Home);
        Recording.LoadEncoder({});
        Recording.OnEnded = [this] {
            Ends.push_back(Recording.State());
        };
        Recording.OnBrokenOff = [this] {
            ++BrokenOff;
        };
        Recording.OnStamped = [this](std::int64_t stamp) {
            Stamps.push_back(stamp);
        };
    }
    ~Session() override
    {
        Recording.Stop();
        if (Recording.Encoder())
            Recording.Encoder()->WaitForFinish(20s);
    }

    TRecordRequest Request(const char *name) const
    {
        return {Home.documents() + u'/' + QString::fromUtf8(name), 320, 240, 20, false};
    }
    std::string File(const char *name) const { return Request(name).FileName.toStdString(); }
    bool Finished()
    {
        return WaitUntil([&] { return Recording.State() == rsFinished; }, 20000);
    }

    TempHome Home;
    TSampleGrabberCB Grabber;
    TRecordingSession Recording{Grabber};
    std::vector<TRecordState> Ends; // the state each OnEnded saw
    int BrokenOff = 0;
    std::vector<std::int64_t> Stamps;
};

TEST_F(Session, StartStopAndStartAgain)
{
    ASSERT_TRUE(Recording.EncoderLoaded());
    EXPECT_EQ(Recording.State(), rsIdle);
    ASSERT_TRUE(Recording.Start(Request("one.mp4")));
    EXPECT_EQ(Recording.State(), rsRecording);
    EXPECT_TRUE(Recording.Active());
    EXPECT_TRUE(Grabber.GrabbingEnabled());
    EXPECT_FALSE(Recording.Start(Request("two.mp4"))); // one recording at a time
    ASSERT_TRUE(WaitUntil([&] { return Stamps.size() > 5; }));
    EXPECT_EQ(Stamps.front(), 0);
    EXPECT_TRUE(std::is_sorted(Stamps.begin(), Stamps.end()));

    Recording.Stop();
    Recording.Stop(); // nothing more: the recording is over
    ASSERT_EQ(Ends.size(), 1u);
    EXPECT_NE(Ends[0], rsRecording);
    EXPECT_FALSE(Recording.Active());
    EXPECT_FALSE(Grabber.GrabbingEnabled());
    ASSERT_TRUE(Finished());
    const std::size_t requests = Stamps.size();
    EXPECT_TRUE(ProbeFile(File("one.mp4")).Ok);

    // A start that is refused leaves the state and the folder as they were.
    EXPECT_FALSE(Recording.Start(Request("no such folder/clip.mp4")));
    EXPECT_EQ(Recording.State(), rsFinished);
    EXPECT_FALSE(QFileInfo::exists(Home.documents() + QStringLiteral("/no such folder")));

    // The next recording's clock starts at 0 again.
    ASSERT_TRUE(Recording.Start(Request("three.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return Stamps.size() > requests + 3; }));
    EXPECT_EQ(Stamps[requests], 0);
    Recording.Stop();
    EXPECT_EQ(Ends.size(), 2u);
    ASSERT_TRUE(Finished());
    EXPECT_TRUE(ProbeFile(File("three.mp4")).Ok);
    EXPECT_EQ(BrokenOff, 0);
}

// A start while the previous file cannot be finished: the recording is on at
// once, its encode follows the previous one's end; a stop before that ends it
// once, and no file of its own is made.
TEST_F(Session, AStartWaitsForThePreviousFileWithoutBlocking)
{
    for (const bool stopWhileWaiting : {false, true}) {
        SCOPED_TRACE(stopWhileWaiting ? "stopped while waiting" : "waited");
        const std::string first = stopWhileWaiting ? "held-a.mp4" : "held-b.mp4";
        const std::string second = stopWhileWaiting ? "next-a.mp4" : "next-b.mp4";
        Ends.clear();
        THeldOutput held(File(first.c_str()));
        ASSERT_TRUE(held.Ok());
        ASSERT_TRUE(Recording.Start(Request(first.c_str())));
        ASSERT_TRUE(WaitUntil([&] { return Stamps.size() > 3; }));
        Recording.Stop();
        ASSERT_TRUE(Recording.Finishing()); // held by the full pipe
        EXPECT_EQ(Recording.State(), rsStopping);

        ASSERT_TRUE(Recording.Start(Request(second.c_str())));
        EXPECT_EQ(Recording.State(), rsStarting);
        EXPECT_TRUE(Recording.Active());
        if (stopWhileWaiting) {
            Recording.Stop();
            EXPECT_EQ(Ends.size(), 2u);
            EXPECT_EQ(Recording.State(), rsStopping); // the first file is still held
        }
        Stamps.clear();
        held.Release();
        if (stopWhileWaiting) {
            ASSERT_TRUE(Finished());
            Spin(200);
            EXPECT_TRUE(Stamps.empty());
            EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(File(second.c_str()))));
        } else {
            ASSERT_TRUE(WaitUntil([&] { return Recording.State() == rsRecording; }));
            ASSERT_TRUE(WaitUntil([&] { return Stamps.size() > 3; }));
            EXPECT_EQ(Stamps.front(), 0);
            Recording.Stop();
            ASSERT_TRUE(Finished());
            EXPECT_TRUE(ProbeFile(File(second.c_str())).Ok);
        }
        EXPECT_EQ(Ends.size(), 2u);
        held.Finish();
    }
    EXPECT_EQ(BrokenOff, 0);
}

// An encode that ends on its own (a full disk) ends the recording once and
// asks the owner to bring the live picture back; a stop after it adds nothing.
TEST_F(Session, AnEncodeEndingOnItsOwnEndsTheRecordingOnce)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 8 * 1024; // the header fits, a few pictures do not
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool started = Recording.Start(Request("full.mp4"));
    const bool ended = WaitUntil([&] { return !Ends.empty(); }, 15000);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    ASSERT_TRUE(started);
    ASSERT_TRUE(ended);
    EXPECT_EQ(Ends[0], rsFinished);
    EXPECT_EQ(BrokenOff, 1);
    EXPECT_FALSE(Recording.Active());
    Recording.Stop();
    EXPECT_EQ(Ends.size(), 1u);
    EXPECT_EQ(Recording.State(), rsFinished);
}

} // namespace
