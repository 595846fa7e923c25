// The seven C exports of libafbridge.so. Each one takes the library's lock,
// works on the process-wide device table and open device, and turns every
// failure, including any C++ exception, into its -1 result.
#include "afbridge/afbridge.h"

#include "afbridge/SystemRoots.h"
#include "afbridge/TDeviceTable.h"
#include "afbridge/THidDevice.h"

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
std::int32_t guarded(Body &&body) noexcept
{
    try {
        const std::lock_guard lock(State.Lock);
        return body();
    } catch (...) {
        return -1;
    }
}

std::int32_t openRecord(const TDeviceRecord *record) noexcept
{
    if (record == nullptr)
        return -1;
    return State.Device.open(record->Path) ? 0 : -1;
}

} // namespace
} // namespace afbridge

using afbridge::State;

extern "C" {

int32_t fnSearchAllDevice(void) noexcept
{
    return afbridge::guarded(
        [] { return State.Table.search(afbridge::sysfsRoot(), afbridge::devRoot()); });
}

int32_t fnGetDeviceName(int32_t index, int32_t position) noexcept
{
    return afbridge::guarded([&]() -> int32_t {
        const afbridge::TDeviceRecord *record = State.Table.at(index);
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
    return afbridge::guarded([&]() -> int32_t {
        const afbridge::TDeviceRecord *record = State.Table.at(index);
        if (record == nullptr)
            return -1;
        return static_cast<int32_t>(static_cast<uint32_t>(record->VendorId) << 16 |
                                    static_cast<uint32_t>(record->ProductId));
    });
}

int32_t fnOpenDeviceByIndex(int32_t index) noexcept
{
    return afbridge::guarded([&] { return afbridge::openRecord(State.Table.at(index)); });
}

int32_t fnOpenDeviceById(int32_t vendorId, int32_t productId) noexcept
{
    return afbridge::guarded(
        [&] { return afbridge::openRecord(State.Table.find(vendorId, productId)); });
}

int32_t fnCloseDevice(void) noexcept
{
    return afbridge::guarded([] { return State.Device.close(); });
}

int32_t fnSetAFMode(int32_t mode) noexcept
{
    return afbridge::guarded(
        [&] { return State.Device.write(afbridge::makeFocusReport(mode)) ? 0 : -1; });
}

} // extern "C"
