#pragma once

// A flag plus a posted event: however many times other threads ask within a
// burst, one event is queued for the receiver. The receiver takes the flag
// first thing when it handles the event, before it drains what the event
// announces, so whatever arrives while it works (even what its own handlers
// cause, such as a restarted stream failing at once) posts a new event. An
// event dropped without being handled (removed from the queue, receiver
// destroyed) gives the flag back, so a later ask posts again.
//
// The set (acquire-release) and the clear (release) also hand what the
// asking thread wrote before it asked over to the receiver.

#include "capture/engine/HandOver.h"

#include <QCoreApplication>
#include <QEvent>
#include <atomic>
#include <memory>
#include <utility>

class TPostedFlag
{
public:
    // Any thread: true when no event was pending; the flag is then set and
    // the caller posts one event that carries it.
    bool Raise() { return !FPending.exchange(true, std::memory_order_acq_rel); }
    // The receiver's thread.
    void Clear() { FPending.store(false, std::memory_order_release); }
    bool Pending() const { return FPending.load(std::memory_order_acquire); }

private:
    std::atomic<bool> FPending{false};
};

using TPostedFlagPtr = std::shared_ptr<TPostedFlag>;

// An event posted under a TPostedFlag (which may be null: then it is a plain
// event).
class TFlaggedEvent : public QEvent
{
public:
    TFlaggedEvent(QEvent::Type type, TPostedFlagPtr flag)
        : QEvent(type)
        , FFlag(std::move(flag))
    {
        // Built on the asking thread, handled and deleted on the receiver's,
        // given over through Qt's event queue.
        PublishHandOver(this);
    }
    ~TFlaggedEvent() override
    {
        TakeHandOver(this);
        if (FFlag && !FTaken)
            FFlag->Clear();
    }
    TFlaggedEvent(const TFlaggedEvent &) = delete;
    TFlaggedEvent &operator=(const TFlaggedEvent &) = delete;

    // The receiver's thread, as it starts handling the event: from here on a
    // new ask posts a new event.
    void Take()
    {
        TakeHandOver(this);
        if (FFlag && !FTaken) {
            FTaken = true;
            FFlag->Clear();
        }
    }

private:
    TPostedFlagPtr FFlag;
    bool FTaken = false;
};

// Any thread: posts the event `args...` build to `receiver` unless one under
// `flag` is pending. The event type takes the flag as its last argument.
template <typename TEvent, typename... TArgs>
bool PostFlagged(QObject *receiver, const TPostedFlagPtr &flag, TArgs &&...args)
{
    if (!flag->Raise())
        return false;
    QCoreApplication::postEvent(receiver, new TEvent(std::forward<TArgs>(args)..., flag));
    return true;
}
