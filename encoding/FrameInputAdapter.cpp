#include "encoding/FrameInputAdapter.h"

#include "encoding/FrameInput.h"

#include <QObject>
#include <QThread>
#include <map>

namespace {

// Living adapters by address, so that an input name is only ever resolved to an adapter
// that exists.
struct TAdapterRegistry
{
    std::mutex Lock;
    std::map<uintptr_t, std::weak_ptr<TFrameAdapterCore>> Adapters;
};

TAdapterRegistry &Registry()
{
    static TAdapterRegistry registry;
    return registry;
}

} // namespace

TFrameInputAdapter::TFrameInputAdapter()
    : FCore(std::make_shared<TFrameAdapterCore>())
    , FReceiver(MakeRequestReceiver(FCore.get()))
{
    FCore->Owner = this;
    FCore->Receiver = FReceiver.get();
    FCore->HomeThread = QThread::currentThread();
    auto &registry = Registry();
    std::lock_guard lock(registry.Lock);
    registry.Adapters[reinterpret_cast<uintptr_t>(this)] = FCore;
}

TFrameInputAdapter::~TFrameInputAdapter()
{
    {
        auto &registry = Registry();
        std::lock_guard lock(registry.Lock);
        registry.Adapters.erase(reinterpret_cast<uintptr_t>(this));
    }
    FCore->Detach();
    FReceiver.reset(); // drops requests still posted to it
}

void TFrameInputAdapter::SetOnReadFrameBMP(TReadFrameBMPEvent handler)
{
    std::lock_guard lock(FCore->Lock);
    FCore->Handler = std::move(handler);
}

bool TFrameInputAdapter::TriggerEventInMainThread() const
{
    std::lock_guard lock(FCore->Lock);
    return FCore->TriggerEventInMainThread;
}

void TFrameInputAdapter::SetTriggerEventInMainThread(bool value)
{
    std::lock_guard lock(FCore->Lock);
    FCore->TriggerEventInMainThread = value;
}

std::chrono::milliseconds TFrameInputAdapter::RequestTimeout() const
{
    std::lock_guard lock(FCore->Lock);
    return FCore->RequestTimeout;
}

void TFrameInputAdapter::SetRequestTimeout(std::chrono::milliseconds value)
{
    std::lock_guard lock(FCore->Lock);
    FCore->RequestTimeout = value;
}

bool TFrameInputAdapter::RealTime() const
{
    std::lock_guard lock(FCore->Lock);
    return FCore->RealTime;
}

void TFrameInputAdapter::SetRealTime(bool value)
{
    std::lock_guard lock(FCore->Lock);
    FCore->RealTime = value;
}

std::string TFrameInputAdapter::InputName() const
{
    return std::to_string(reinterpret_cast<uintptr_t>(this));
}

std::shared_ptr<TFrameAdapterCore> TFrameInputAdapter::Find(const std::string &inputName)
{
    uintptr_t address = 0;
    size_t used = 0;
    try {
        address = std::stoull(inputName, &used);
    } catch (const std::exception &) {
        return nullptr;
    }
    if (used != inputName.size())
        return nullptr;
    auto &registry = Registry();
    std::lock_guard lock(registry.Lock);
    const auto it = registry.Adapters.find(address);
    return it == registry.Adapters.end() ? nullptr : it->second.lock();
}
