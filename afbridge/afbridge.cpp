// The seven C exports of libafbridge.so. Each one takes the library's lock,
// works on the process-wide device table and open device, and turns every
// failure, including any C++ exception, into its -1 result.
#include "afbridge/afbridge.h"

#include "afbridge/DeviceTable.h"
#include "afbridge/HidDevice.h"
#include "afbridge/SystemRoots.h"

#include <mutex>

namespace afbridge {
namespace {

struct TBridgeState
{
    std::mutex Lock;
    TDeviceTable Table;
    THidDevice Device; // closed when the library is unloaded
};

TBridgeState State;

template <typename Body>
std::int32_t Guarded(Body &&body) noexcept
{
    try {
        const std::lock_guard lock(State.Lock);
        return body();
    } catch (...) {
        return -1;
    }
}

std::int32_t OpenRecord(const TDeviceRecord *record) noexcept
{
    if (record == nullptr)
        return -1;
    return State.Device.Open(record->Path) ? 0 : -1;
}

} // namespace
} // namespace afbridge

using afbridge::State;

extern "C" {

int32_t fnSearchAllDevice(void) noexcept
{
    return afbridge::Guarded(
        [] { return State.Table.Search(afbridge::SysfsRoot(), afbridge::DevRoot()); });
}

int32_t fnGetDeviceName(int32_t index, int32_t position) noexcept
{
    return afbridge::Guarded([&]() -> int32_t {
        const afbridge::TDeviceRecord *record = State.Table.At(index);
        if (record == nullptr || position < 0)
            return -1;
        const std::string &name = record->Name;
        if (static_cast<std::size_t>(position) >= name.size())
            return 0;
        return static_cast<unsigned char>(name[static_cast<std::size_t>(position)]);
    });
}

int32_t fnGetDeviceId(int32_t index) noexcept
{
    return afbridge::Guarded([&]() -> int32_t {
        const afbridge::TDeviceRecord *record = State.Table.At(index);
        if (record == nullptr)
            return -1;
        return static_cast<int32_t>(static_cast<uint32_t>(record->VendorId) << 16 |
                                    static_cast<uint32_t>(record->ProductId));
    });
}

int32_t fnOpenDeviceByIndex(int32_t index) noexcept
{
    return afbridge::Guarded([&] { return afbridge::OpenRecord(State.Table.At(index)); });
}

int32_t fnOpenDeviceById(int32_t vendorId, int32_t productId) noexcept
{
    return afbridge::Guarded(
        [&] { return afbridge::OpenRecord(State.Table.Find(vendorId, productId)); });
}

int32_t fnCloseDevice(void) noexcept
{
    return afbridge::Guarded([] { return State.Device.Close(); });
}

int32_t fnSetAFMode(int32_t mode) noexcept
{
    return afbridge::Guarded(
        [&] { return State.Device.Write(afbridge::MakeFocusReport(mode)) ? 0 : -1; });
}

} // extern "C"
