// The HID device table, read from a fake sysfs tree made from the input.
// The input is a list of entries separated by two zero bytes; each entry is
// a class entry name, one zero byte, and the text of its device's uevent
// file. "class/hidraw/<name>/device/uevent" is written for each.
#include "FuzzSupport.h"
#include "afbridge/DeviceTable.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace {

// A name usable as one folder name: no slash, not "." or "..", not empty.
std::string FolderName(std::string_view AName)
{
    std::string name(AName.substr(0, 200));
    for (char &c : name) {
        if (c == '/')
            c = '_';
    }
    if (name.empty() || name == "." || name == "..")
        name = "hidraw0";
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    const std::string root = ovilen::fuzz::WorkDir() + "/tree";
    const std::string classPath = root + "/sys/class/hidraw";
    std::filesystem::create_directories(classPath);
    ovilen::fuzz::ClearFolder(classPath);

    const std::string_view input(reinterpret_cast<const char *>(AData), ASize);
    size_t at = 0;
    for (int entries = 0; at < input.size() && entries < 64; ++entries) {
        size_t end = input.find(std::string_view("\0\0", 2), at);
        if (end == std::string_view::npos)
            end = input.size();
        const std::string_view entry = input.substr(at, end - at);
        at = end + 2;
        const size_t split = entry.find('\0');
        const std::string name = FolderName(entry.substr(0, split));
        const std::string_view uevent =
            split == std::string_view::npos ? std::string_view() : entry.substr(split + 1);
        std::error_code error;
        std::filesystem::create_directories(classPath + '/' + name + "/device", error);
        if (error)
            continue;
        std::ofstream(classPath + '/' + name + "/device/uevent", std::ios::binary)
            .write(uevent.data(), std::streamsize(uevent.size()));
    }

    afbridge::TDeviceTable table;
    const std::int32_t count = table.Search(root + "/sys", root + "/dev");
    if (count < 0 || table.Size() > static_cast<std::size_t>(count))
        std::abort();
    for (std::size_t i = 0; i < table.Size(); ++i) {
        const afbridge::TDeviceRecord *record = table.At(static_cast<std::int32_t>(i));
        // Every record names 16-bit identifiers as "vid_xxxx&pid_xxxx" and a
        // path that fits the record.
        if (!record || record->Name.size() != 17 || record->VendorId < 0 ||
            record->VendorId > 0xFFFF || record->ProductId < 0 || record->ProductId > 0xFFFF ||
            record->Path.size() > afbridge::TDeviceTable::MaxPathLength ||
            table.Find(record->VendorId, record->ProductId) == nullptr)
            std::abort();
    }
    if (table.At(static_cast<std::int32_t>(table.Size())) != nullptr || table.At(-1) != nullptr)
        std::abort();
    afbridge::ParseHidIds(input);
    return 0;
}
