#include "afbridge/DeviceTable.h"

#include "handles/FileHandle.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <utility>

namespace afbridge {
namespace {

struct TDirCloser
{
    void operator()(DIR *dir) const noexcept { ::closedir(dir); }
};
using TDirHandle = std::unique_ptr<DIR, TDirCloser>;

// A uevent text is one page at most; anything longer is not a sysfs file.
constexpr std::size_t MaxUeventSize = 65536;

std::optional<std::string> ReadSmallFile(const std::string &path)
{
    // O_NONBLOCK: a FIFO where a file is expected must not hang the search.
    TFileHandle fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.IsOpen())
        return std::nullopt;
    std::string text;
    char buffer[4096];
    while (text.size() < MaxUeventSize) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

// Parses 1 to 8 hexadecimal digits, nothing else.
std::optional<std::uint32_t> ParseHexField(std::string_view field)
{
    if (field.empty() || field.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : field) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

std::string DeviceName(std::int32_t vendorId, std::int32_t productId)
{
    char name[32];
    std::snprintf(name, sizeof name, "vid_%04x&pid_%04x", static_cast<unsigned>(vendorId),
                  static_cast<unsigned>(productId));
    return name;
}

} // namespace

std::optional<THidIds> ParseHidIds(std::string_view uevent)
{
    constexpr std::string_view Key = "HID_ID=";
    while (!uevent.empty()) {
        const std::size_t end = uevent.find('\n');
        const std::string_view line = uevent.substr(0, end);
        uevent = end == std::string_view::npos ? std::string_view() : uevent.substr(end + 1);
        if (!line.starts_with(Key))
            continue;
        // bus:vendor:product
        const std::string_view value = line.substr(Key.size());
        const std::size_t first = value.find(':');
        const std::size_t second =
            first == std::string_view::npos ? first : value.find(':', first + 1);
        if (second == std::string_view::npos)
            return std::nullopt;
        const auto bus = ParseHexField(value.substr(0, first));
        const auto vendor = ParseHexField(value.substr(first + 1, second - first - 1));
        const auto product = ParseHexField(value.substr(second + 1));
        if (!bus || !vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF)
            return std::nullopt;
        return THidIds{static_cast<std::int32_t>(*vendor), static_cast<std::int32_t>(*product)};
    }
    return std::nullopt;
}

std::optional<int> HidrawNodeNumber(std::string_view entryName)
{
    constexpr std::string_view Prefix = "hidraw";
    if (!entryName.starts_with(Prefix))
        return std::nullopt;
    const std::string_view digits = entryName.substr(Prefix.size());
    if (digits.empty() || digits.size() > 9)
        return std::nullopt;
    int number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

std::int32_t TDeviceTable::Search(const std::string &sysfsRoot, const std::string &devRoot)
{
    FRecords.clear();

    const std::string classPath = sysfsRoot + "/class/hidraw";
    TDirHandle dir(::opendir(classPath.c_str()));
    if (!dir) {
        // Without the hidraw class no HID interface is present; any other
        // failure means the list cannot be read.
        return errno == ENOENT ? 0 : -1;
    }

    std::vector<std::pair<int, std::string>> entries;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0)
                return -1;
            break;
        }
        if (const auto number = HidrawNodeNumber(entry->d_name))
            entries.emplace_back(*number, entry->d_name);
    }
    std::sort(entries.begin(), entries.end());

    std::vector<TDeviceRecord> records;
    records.reserve(entries.size());
    for (const auto &[number, entryName] : entries) {
        const auto uevent = ReadSmallFile(classPath + '/' + entryName + "/device/uevent");
        if (!uevent)
            continue;
        const auto ids = ParseHidIds(*uevent);
        if (!ids)
            continue;
        std::string path = devRoot + '/' + entryName;
        if (path.size() > MaxPathLength)
            continue;
        records.push_back({ids->VendorId, ids->ProductId, DeviceName(ids->VendorId, ids->ProductId),
                           std::move(path)});
    }
    FRecords = std::move(records);
    return static_cast<std::int32_t>(entries.size());
}

const TDeviceRecord *TDeviceTable::At(std::int32_t index) const noexcept
{
    if (index < 0 || static_cast<std::size_t>(index) >= FRecords.size())
        return nullptr;
    return &FRecords[static_cast<std::size_t>(index)];
}

const TDeviceRecord *TDeviceTable::Find(std::int32_t vendorId,
                                        std::int32_t productId) const noexcept
{
    const auto it = std::find_if(FRecords.begin(), FRecords.end(), [&](const TDeviceRecord &r) {
        return r.VendorId == vendorId && r.ProductId == productId;
    });
    return it == FRecords.end() ? nullptr : &*it;
}

} // namespace afbridge
