// The grabber callback on its own: effects, the one-shot copy into the
// grabber buffer, and the posted messages.
#include "ReferenceEffects.h"
#include "capture/engine/SampleGrabberCB.h"

#include <QCoreApplication>
#include <QObject>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace {

// Counts the messages posted to it.
class TOwner : public QObject
{
public:
    int Ready = 0, Arrived = 0;
    TSampleGrabberCB *LastCallback = nullptr;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::Type(WM_FRAMEREADY)) {
            ++Ready;
            LastCallback = static_cast<TGrabberEvent *>(e)->Callback();
            return true;
        }
        if (e->type() == QEvent::Type(WM_FRAMEARRIVED)) {
            static_cast<TGrabberEvent *>(e)->Take(); // as the component does
            ++Arrived;
            return true;
        }
        return QObject::event(e);
    }
};

struct Frame
{
    int W = 7, H = 5, Stride = 24; // 7 * 3 = 21 bytes of pixels, padded to 24
    std::vector<std::uint8_t> Bytes = std::vector<std::uint8_t>(std::size_t(24 * 5));
    Frame()
    {
        std::mt19937 rng(3);
        for (auto &b : Bytes)
            b = std::uint8_t(rng());
    }
    TFrameLayout Layout() { return {Bytes.data(), Bytes.size(), W, H, Stride}; }
};

class Grabber : public ::testing::Test
{
protected:
    void SetUp() override { Cb.SetOwner(&Owner); }
    void Deliver() { QCoreApplication::sendPostedEvents(&Owner); }

    TOwner Owner;
    TSampleGrabberCB Cb;
};

TEST_F(Grabber, WithNothingOnTheFramePassesUnchangedAndOnlyArrives)
{
    Frame f;
    const auto before = f.Bytes;
    EXPECT_EQ(Cb.BufferCB(0, f.Layout()), 0);
    Deliver();
    EXPECT_EQ(f.Bytes, before);
    EXPECT_EQ(Owner.Arrived, 1);
    EXPECT_EQ(Owner.Ready, 0);
    EXPECT_EQ(Cb.BufferLength(), 0u);
}

TEST_F(Grabber, ArrivalsDoNotPileUpWhileOneIsPending)
{
    Frame f;
    for (int i = 0; i < 5; ++i)
        Cb.BufferCB(0, f.Layout());
    Deliver();
    EXPECT_EQ(Owner.Arrived, 1);
    Cb.BufferCB(0, f.Layout());
    Deliver();
    EXPECT_EQ(Owner.Arrived, 2);
}

TEST_F(Grabber, EnablingOnceCopiesOneProcessedFrame)
{
    Cb.SetGrayscale(true);
    Cb.SetFlipHorz(true);
    Frame f;
    Frame expected = f;
    ReferenceEffects(expected.Bytes.data(), f.W, f.H, f.Stride,
                     {false, true, true, false, false, {}});

    Cb.SetGrabbingEnabled(true);
    for (int i = 0; i < 3; ++i) {
        Frame next = f;
        Cb.BufferCB(0, next.Layout());
    }
    Deliver();
    EXPECT_EQ(Owner.Ready, 1);
    EXPECT_EQ(Owner.LastCallback, &Cb);
    EXPECT_FALSE(Cb.GrabbingEnabled());

    std::vector<std::uint8_t> copy;
    {
        const TSampleGrabberCB::TBufferAccess access(Cb);
        EXPECT_EQ(Cb.BufferLength(), std::uint32_t(f.Stride * f.H));
        EXPECT_EQ(Cb.BufferWidth(), 7);
        EXPECT_EQ(Cb.BufferHeight(), 5);
        EXPECT_EQ(Cb.BufferStride(), 24);
        copy.assign(Cb.Buffer(), Cb.Buffer() + Cb.BufferLength());
    }
    EXPECT_EQ(copy, expected.Bytes);

    Cb.ClearBuffer();
    EXPECT_EQ(Cb.BufferLength(), 0u);
}

// A recording that ends cancels its grabs: a frame-ready message posted
// before that hands out no grabber (it would become a still nobody asked
// for), while a grab armed afterwards is announced as usual.
TEST_F(Grabber, AMessageOfACancelledGrabHandsOutNoGrabber)
{
    Frame f;
    Cb.SetGrabbingEnabled(true);
    Cb.BufferCB(0, f.Layout());
    Cb.CancelGrabs();
    Deliver();
    EXPECT_EQ(Owner.Ready, 1);
    EXPECT_EQ(Owner.LastCallback, nullptr);

    Cb.SetGrabbingEnabled(true);
    Cb.CancelGrabs(); // armed, then cancelled before any frame came
    Cb.BufferCB(0, f.Layout());
    Deliver();
    EXPECT_EQ(Owner.Ready, 1);

    Cb.SetGrabbingEnabled(true);
    Cb.BufferCB(0, f.Layout());
    Deliver();
    EXPECT_EQ(Owner.Ready, 2);
    EXPECT_EQ(Owner.LastCallback, &Cb);
}

// The UI thread cancels and arms again while frames keep coming: every grab
// armed after a cancel is announced with its grabber, however close the
// cancel, the new grab and the streaming thread's copy fall together.
TEST_F(Grabber, AGrabArmedRightAfterACancelIsNeverDropped)
{
    std::atomic<bool> done{false};
    std::thread stream([&] {
        Frame f;
        while (!done)
            Cb.BufferCB(0, f.Layout());
    });
    int dropped = 0, lost = 0;
    constexpr int Rounds = 20000;
    for (int i = 0; i < Rounds; ++i) {
        const int before = Owner.Ready;
        Cb.CancelGrabs();
        Cb.SetGrabbingEnabled(true);
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (Owner.Ready == before && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::yield();
            Deliver();
        }
        if (Owner.Ready == before) {
            ++lost;
            break;
        }
        if (Owner.LastCallback != &Cb)
            ++dropped;
    }
    done = true;
    stream.join();
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(dropped, 0) << "of " << Rounds << " grabs";
}

TEST_F(Grabber, AFrameThatDoesNotFitItsSizeIsLeftAloneAndNotCopied)
{
    Cb.SetInvertColor(true);
    Cb.SetGrabbingEnabled(true);
    Frame f;
    const auto before = f.Bytes;
    TFrameLayout bad = f.Layout();
    bad.Height = 6; // one row more than the buffer holds
    Cb.BufferCB(0, bad);
    Deliver();
    EXPECT_EQ(f.Bytes, before);
    EXPECT_EQ(Owner.Ready, 0);
    EXPECT_TRUE(Cb.GrabbingEnabled()); // the next good frame is copied
    Cb.BufferCB(0, f.Layout());
    Deliver();
    EXPECT_EQ(Owner.Ready, 1);
}

TEST_F(Grabber, SettingsChangeWhileFramesRun)
{
    // The streaming thread reads the settings while the UI thread changes
    // them: every frame is processed with some consistent-enough setting and
    // nothing is read or written outside it.
    std::atomic<bool> done{false};
    Cb.SetGrabbingEnabled(true);
    int grabs = 1;
    std::thread stream([&] {
        Frame f;
        for (int i = 0; i < 3000; ++i)
            Cb.BufferCB(0, f.Layout());
        done = true;
    });
    for (int i = 1; !done; ++i) {
        Cb.SetFlipHorz(i % 2);
        Cb.SetFlipVert(i % 3 == 0);
        Cb.SetGrayscale(i % 5 == 0);
        Cb.SetSelectionMode(i % 7 == 0);
        Cb.SetSelectionRect({i % 9 - 2, i % 4, i % 11, i % 6});
        if (i % 50 == 0 && grabs < 40) {
            Cb.SetGrabbingEnabled(true);
            ++grabs;
        }
    }
    stream.join();
    Deliver();
    EXPECT_EQ(Owner.Arrived, 1); // one arrival waits; the others were not queued
    EXPECT_GE(Owner.Ready, 1);
    EXPECT_LE(Owner.Ready, grabs); // never more copies than requests
}

} // namespace
