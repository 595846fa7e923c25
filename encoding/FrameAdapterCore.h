#pragma once

#include "encoding/FrameInputAdapter.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

class QObject;
class QThread;

struct TFrameAdapterCore;

// A frame request handed to the adapter's thread. The worker waits for it; when the worker
// gives up (time-out, stop) a request still pending is cancelled and never runs, so the
// buffer and frame info it points to are touched only while the worker waits.
struct TFrameRequest
{
    enum class TState
    {
        Pending,
        Running,
        Done,
        Cancelled,
    };

    // On the adapter's thread.
    void Run();
    void CancelIfPending();

    std::mutex Lock;
    std::condition_variable_any Changed;
    TState State = TState::Pending;
    int Result = 0;
    std::shared_ptr<TFrameAdapterCore> Core;
    uint8_t *Data = nullptr;
    TInputFrameInfo *Info = nullptr;
};

// The shared state behind a TFrameInputAdapter. It outlives the adapter as long as a
// frame input or a request holds it, so neither ever reaches a destroyed adapter.
//
// Requests for the adapter's thread wait in a queue under the core's lock; a posted event
// to a receiver living on that thread makes it serve them. (The queue, not the event,
// carries the request, so the hand-over between the threads is plain mutex work.)
struct TFrameAdapterCore
{
    // Calls the handler on the calling thread. Without a handler, or once the adapter is
    // gone, the frame keeps its previous picture (result 0).
    int Invoke(uint8_t *data, TInputFrameInfo *info);
    // Queues a request for the adapter's thread; false when the adapter is gone.
    bool Post(std::shared_ptr<TFrameRequest> request);
    // On the adapter's thread: runs the queued requests.
    void ServeQueued();
    // Whether the calling thread is the adapter's own.
    bool OnHomeThread() const;
    void Detach();

    std::mutex Lock; // guards the fields below
    TFrameInputAdapter *Owner = nullptr;
    TFrameInputAdapter::TReadFrameBMPEvent Handler;
    bool TriggerEventInMainThread = true;
    std::chrono::milliseconds RequestTimeout{500};
    bool RealTime = true;
    QObject *Receiver = nullptr; // lives on HomeThread; owned by the adapter
    QThread *HomeThread = nullptr;
    std::deque<std::shared_ptr<TFrameRequest>> Queue;

    std::mutex CallLock; // held while the handler runs
};

// Creates the receiver of an adapter's requests on the calling thread.
std::unique_ptr<QObject> MakeRequestReceiver(TFrameAdapterCore *core);
