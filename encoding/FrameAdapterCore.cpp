#include "encoding/FrameAdapterCore.h"

#include "encoding/RequestReceiver.h"

#include <QCoreApplication>
#include <QThread>

void TRequestReceiver::ServeQueued()
{
    FCore->ServeQueued();
}

std::unique_ptr<QObject> MakeRequestReceiver(TFrameAdapterCore *core)
{
    return std::make_unique<TRequestReceiver>(core);
}

void TFrameRequest::Run()
{
    {
        std::lock_guard lock(Lock);
        if (State != TState::Pending)
            return;
        State = TState::Running;
    }
    const int result = Core->Invoke(Data, Info);
    std::lock_guard lock(Lock);
    Result = result;
    State = TState::Done;
    Changed.notify_all();
}

void TFrameRequest::CancelIfPending()
{
    std::lock_guard lock(Lock);
    if (State == TState::Pending) {
        State = TState::Cancelled;
        Changed.notify_all();
    }
}

int TFrameAdapterCore::Invoke(uint8_t *data, TInputFrameInfo *info)
{
    std::lock_guard call(CallLock);
    TFrameInputAdapter *owner;
    TFrameInputAdapter::TReadFrameBMPEvent handler;
    {
        std::lock_guard lock(Lock);
        owner = Owner;
        handler = Handler;
    }
    if (!owner || !handler)
        return 0;
    return handler(owner, data, info);
}

bool TFrameAdapterCore::Post(std::shared_ptr<TFrameRequest> request)
{
    std::lock_guard lock(Lock);
    if (!Receiver)
        return false;
    Queue.push_back(std::move(request));
    // The queued call only wakes the receiver; the request travels in the queue.
    QMetaObject::invokeMethod(Receiver, "ServeQueued", Qt::QueuedConnection);
    return true;
}

void TFrameAdapterCore::ServeQueued()
{
    for (;;) {
        std::shared_ptr<TFrameRequest> request;
        {
            std::lock_guard lock(Lock);
            if (Queue.empty())
                return;
            request = std::move(Queue.front());
            Queue.pop_front();
        }
        request->Run();
    }
}

bool TFrameAdapterCore::OnHomeThread() const
{
    return QThread::currentThread() == HomeThread;
}

void TFrameAdapterCore::Detach()
{
    std::lock_guard call(CallLock);
    std::lock_guard lock(Lock);
    Owner = nullptr;
    Handler = nullptr;
    Receiver = nullptr;
    Queue.clear();
}
