#include "FakeHidTree.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

void WriteText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

} // namespace

FakeHidTree::FakeHidTree()
{
    EXPECT_TRUE(FDir.isValid());
    fs::create_directories(SysfsRoot() + "/class/hidraw");
    fs::create_directories(SysfsRoot() + "/devices/virtual/hid");
    fs::create_directories(DevRoot());
    for (const char *name : {"AFBRIDGE_SYSFS_ROOT", "AFBRIDGE_DEV_ROOT"}) {
        const char *value = std::getenv(name);
        FSavedEnvironment.emplace_back(name,
                                       value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("AFBRIDGE_SYSFS_ROOT", SysfsRoot().c_str(), 1);
    ::setenv("AFBRIDGE_DEV_ROOT", DevRoot().c_str(), 1);
}

FakeHidTree::~FakeHidTree()
{
    for (const auto &[name, value] : FSavedEnvironment) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
}

std::string FakeHidTree::NodePath(int node) const
{
    return DevRoot() + "/hidraw" + std::to_string(node);
}

std::string FakeHidTree::DeviceFolder(int node) const
{
    char name[64];
    std::snprintf(name, sizeof name, "/devices/virtual/hid/0003:0000:0000.%04X", node + 1);
    return SysfsRoot() + name;
}

void FakeHidTree::AddClassEntry(int node)
{
    const std::string entry = "hidraw" + std::to_string(node);
    const std::string hidrawFolder = DeviceFolder(node) + "/hidraw/" + entry;
    fs::create_directories(hidrawFolder);
    WriteText(hidrawFolder + "/uevent",
              "MAJOR=247\nMINOR=" + std::to_string(node) + "\nDEVNAME=" + entry + "\n");
    fs::create_symlink("../..", hidrawFolder + "/device");
    fs::create_symlink(fs::relative(hidrawFolder, SysfsRoot() + "/class/hidraw"),
                       SysfsRoot() + "/class/hidraw/" + entry);
    WriteText(NodePath(node), "");
}

void FakeHidTree::AddDevice(int node, std::uint16_t vendorId, std::uint16_t productId)
{
    // The kernel writes the identifiers in upper case, 8 digits each.
    char line[64];
    std::snprintf(line, sizeof line, "HID_ID=0003:%08X:%08X\n", vendorId, productId);
    AddEntry(node, std::string("DRIVER=hid-generic\n") + line +
                       "HID_NAME=Document Camera\nHID_PHYS=usb-0000:00:14.0-1/input2\n");
}

void FakeHidTree::AddEntry(int node, const std::string &uevent)
{
    AddClassEntry(node);
    WriteText(DeviceFolder(node) + "/uevent", uevent);
}

void FakeHidTree::AddEntryWithoutDevice(int node)
{
    AddClassEntry(node);
    const std::string link =
        DeviceFolder(node) + "/hidraw/hidraw" + std::to_string(node) + "/device";
    fs::remove(link);
    fs::create_symlink("../../gone", link);
}

void FakeHidTree::AddEntryWithUnreadableUevent(int node)
{
    AddClassEntry(node);
    fs::create_directories(DeviceFolder(node) + "/uevent");
}

void FakeHidTree::RemoveEntry(int node)
{
    fs::remove(SysfsRoot() + "/class/hidraw/hidraw" + std::to_string(node));
}

void FakeHidTree::LinkNode(int node, const std::string &target)
{
    RemoveNode(node);
    fs::create_symlink(target, NodePath(node));
}

void FakeHidTree::RemoveNode(int node)
{
    fs::remove(NodePath(node));
}

QByteArray FakeHidTree::Written(int node) const
{
    QFile file(QString::fromStdString(NodePath(node)));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<no node>");
    return file.readAll();
}

void FakeHidTree::SetDevRoot(const std::string &path)
{
    ::setenv("AFBRIDGE_DEV_ROOT", path.c_str(), 1);
}
