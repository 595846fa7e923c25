#include "FakeHidTree.h"

#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

void writeText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << path;
}

} // namespace

FakeHidTree::FakeHidTree()
{
    EXPECT_TRUE(FDir.isValid());
    fs::create_directories(sysfsRoot() + "/class/hidraw");
    fs::create_directories(sysfsRoot() + "/devices/virtual/hid");
    fs::create_directories(devRoot());
    for (const char *name : {"AFBRIDGE_SYSFS_ROOT", "AFBRIDGE_DEV_ROOT"}) {
        const char *value = std::getenv(name);
        FSavedEnvironment.emplace_back(name,
                                       value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("AFBRIDGE_SYSFS_ROOT", sysfsRoot().c_str(), 1);
    ::setenv("AFBRIDGE_DEV_ROOT", devRoot().c_str(), 1);
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

std::string FakeHidTree::nodePath(int node) const
{
    return devRoot() + "/hidraw" + std::to_string(node);
}

std::string FakeHidTree::deviceFolder(int node) const
{
    char name[64];
    std::snprintf(name, sizeof name, "/devices/virtual/hid/0003:0000:0000.%04X", node + 1);
    return sysfsRoot() + name;
}

void FakeHidTree::addClassEntry(int node)
{
    const std::string entry = "hidraw" + std::to_string(node);
    const std::string hidrawFolder = deviceFolder(node) + "/hidraw/" + entry;
    fs::create_directories(hidrawFolder);
    writeText(hidrawFolder + "/uevent",
              "MAJOR=247\nMINOR=" + std::to_string(node) + "\nDEVNAME=" + entry + "\n");
    fs::create_symlink("../..", hidrawFolder + "/device");
    fs::create_symlink(fs::relative(hidrawFolder, sysfsRoot() + "/class/hidraw"),
                       sysfsRoot() + "/class/hidraw/" + entry);
    writeText(nodePath(node), "");
}

void FakeHidTree::addDevice(int node, std::uint16_t vendorId, std::uint16_t productId)
{
    // The kernel writes the identifiers in upper case, 8 digits each.
    char line[64];
    std::snprintf(line, sizeof line, "HID_ID=0003:%08X:%08X\n", vendorId, productId);
    addEntry(node, std::string("DRIVER=hid-generic\n") + line +
                       "HID_NAME=Document Camera\nHID_PHYS=usb-0000:00:14.0-1/input2\n");
}

void FakeHidTree::addEntry(int node, const std::string &uevent)
{
    addClassEntry(node);
    writeText(deviceFolder(node) + "/uevent", uevent);
}

void FakeHidTree::addEntryWithoutDevice(int node)
{
    addClassEntry(node);
    const std::string link =
        deviceFolder(node) + "/hidraw/hidraw" + std::to_string(node) + "/device";
    fs::remove(link);
    fs::create_symlink("../../gone", link);
}

void FakeHidTree::addEntryWithUnreadableUevent(int node)
{
    addClassEntry(node);
    fs::create_directories(deviceFolder(node) + "/uevent");
}

void FakeHidTree::removeEntry(int node)
{
    fs::remove(sysfsRoot() + "/class/hidraw/hidraw" + std::to_string(node));
}

void FakeHidTree::linkNode(int node, const std::string &target)
{
    removeNode(node);
    fs::create_symlink(target, nodePath(node));
}

void FakeHidTree::removeNode(int node)
{
    fs::remove(nodePath(node));
}

QByteArray FakeHidTree::written(int node) const
{
    QFile file(QString::fromStdString(nodePath(node)));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<no node>");
    return file.readAll();
}

void FakeHidTree::setDevRoot(const std::string &path)
{
    ::setenv("AFBRIDGE_DEV_ROOT", path.c_str(), 1);
}
