// A flag plus a posted event: one event per burst, the flag taken before the
// receiver works, and given back by an event that is dropped.
#include "capture/engine/PostedFlag.h"

#include <QCoreApplication>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

const QEvent::Type Announce = QEvent::Type(QEvent::User + 300);

class TReceiver : public QObject
{
public:
    TPostedFlagPtr Flag = std::make_shared<TPostedFlag>();
    int Handled = 0;
    // Runs inside the handling, after the flag is taken.
    std::function<void()> While;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != Announce)
            return QObject::event(e);
        static_cast<TFlaggedEvent *>(e)->Take();
        ++Handled;
        if (While)
            While();
        return true;
    }
};

bool Post(TReceiver &r)
{
    return PostFlagged<TFlaggedEvent>(&r, r.Flag, Announce);
}

TEST(PostedFlag, ABurstFromManyThreadsQueuesOneEvent)
{
    TReceiver r;
    std::vector<std::thread> threads;
    std::atomic<int> posted{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i)
                posted += Post(r);
        });
    for (auto &t : threads)
        t.join();
    EXPECT_EQ(posted.load(), 1);
    EXPECT_TRUE(r.Flag->Pending());
    QCoreApplication::sendPostedEvents(&r, Announce);
    EXPECT_EQ(r.Handled, 1);
    EXPECT_FALSE(r.Flag->Pending());
}

TEST(PostedFlag, AnAskDuringTheHandlingPostsAgain)
{
    // What a handler causes (a restarted stream failing at once) must not be
    // swallowed by the event being handled.
    TReceiver r;
    r.While = [&] {
        if (r.Handled == 1) {
            EXPECT_TRUE(Post(r));
        }
    };
    ASSERT_TRUE(Post(r));
    QCoreApplication::sendPostedEvents(&r, Announce);
    QCoreApplication::sendPostedEvents(&r, Announce);
    EXPECT_EQ(r.Handled, 2);
    EXPECT_FALSE(r.Flag->Pending());
}

TEST(PostedFlag, ADroppedEventGivesTheFlagBack)
{
    auto r = std::make_unique<TReceiver>();
    ASSERT_TRUE(Post(*r));
    EXPECT_FALSE(Post(*r));
    QCoreApplication::removePostedEvents(r.get(), Announce);
    EXPECT_FALSE(r->Flag->Pending());
    ASSERT_TRUE(Post(*r));

    // The receiver goes with its event still queued.
    const TPostedFlagPtr flag = r->Flag;
    r.reset();
    EXPECT_FALSE(flag->Pending());
}

} // namespace
