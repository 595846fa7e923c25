#pragma once

#include "handles/FileHandle.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace afbridge {

// The focus-mode output report: report number 0, then 02 04, then 00 to turn
// the mode on (any non-zero mode) or 03 for mode 0, then zeros.
constexpr std::size_t FocusReportSize = 65;
using TFocusReport = std::array<std::uint8_t, FocusReportSize>;

constexpr TFocusReport MakeFocusReport(std::int32_t mode) noexcept
{
    TFocusReport report{};
    report[1] = 0x02;
    report[2] = 0x04;
    report[3] = mode == 0 ? 0x03 : 0x00;
    return report;
}

// The one open HID interface (a hidraw node).
class THidDevice
{
public:
    bool IsOpen() const noexcept { return FFd.IsOpen(); }

    // Closes the device that is open, then opens `path` for reading and
    // writing. False when opening fails; no device is open then.
    bool Open(const std::string &path) noexcept;

    // Writes the report in one write. True when every byte was written.
    bool Write(const TFocusReport &report) noexcept;

    // -1 when no device is open; 1 when closed; 0 when the system reported an
    // error on closing (the device is not open afterwards either).
    std::int32_t Close() noexcept;

private:
    TFileHandle FFd;
};

} // namespace afbridge
