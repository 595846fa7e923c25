#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace afbridge {

// One HID interface of the device table.
struct TDeviceRecord
{
    std::int32_t VendorId = 0;
    std::int32_t ProductId = 0;
    std::string Name; // "vid_xxxx&pid_xxxx", lower-case hexadecimal digits
    std::string Path; // the device node, e.g. "/dev/hidraw3"
};

// The HID interfaces found by the last search, in node-number order.
class TDeviceTable
{
public:
    // A record's path field holds 255 characters and the terminating zero;
    // longer paths do not fit and their interface gets no record.
    static constexpr std::size_t MaxPathLength = 255;

    // Rebuilds the table from <sysfs root>/class/hidraw. Returns the number of
    // interfaces enumerated, including those that got no record, or -1 when
    // the class folder cannot be read (the table is then empty).
    std::int32_t Search(const std::string &sysfsRoot, const std::string &devRoot);

    // The record at a table index; nullptr for an index outside the table.
    const TDeviceRecord *At(std::int32_t index) const noexcept;
    // The first record with these identifiers; nullptr when there is none.
    const TDeviceRecord *Find(std::int32_t vendorId, std::int32_t productId) const noexcept;

    std::size_t Size() const noexcept { return FRecords.size(); }

private:
    std::vector<TDeviceRecord> FRecords;
};

// The identifiers on the HID_ID line of a HID device's uevent text
// ("HID_ID=0003:0000046D:0000C52B"): vendor and product, each at most 16 bits.
struct THidIds
{
    std::int32_t VendorId;
    std::int32_t ProductId;
};
std::optional<THidIds> ParseHidIds(std::string_view uevent);

// The node number of a hidraw class entry name ("hidraw12" -> 12).
std::optional<int> HidrawNodeNumber(std::string_view entryName);

} // namespace afbridge
