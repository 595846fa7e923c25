#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A fake sysfs tree and /dev folder in a temporary folder, laid out like the
// kernel's: /sys/class/hidraw/hidrawN is a link into /sys/devices, and its
// "device" link leads to the HID device folder holding the uevent text. While
// the object lives, AFBRIDGE_SYSFS_ROOT and AFBRIDGE_DEV_ROOT point the
// library at it. Device nodes are regular files, so a test reads back what
// the library wrote.
class FakeHidTree
{
public:
    FakeHidTree();
    ~FakeHidTree();
    FakeHidTree(const FakeHidTree &) = delete;
    FakeHidTree &operator=(const FakeHidTree &) = delete;

    std::string sysfsRoot() const { return root() + "/sys"; }
    std::string devRoot() const { return root() + "/dev"; }
    std::string nodePath(int node) const;

    // hidraw<node> of a HID device with these identifiers, and its node.
    void addDevice(int node, std::uint16_t vendorId, std::uint16_t productId);
    // hidraw<node> whose HID device folder has this uevent text, and its node.
    void addEntry(int node, const std::string &uevent);
    // hidraw<node> whose "device" link leads nowhere.
    void addEntryWithoutDevice(int node);
    // hidraw<node> whose uevent is a folder, so reading it fails.
    void addEntryWithUnreadableUevent(int node);
    // Removes hidraw<node> from the class folder (the node stays).
    void removeEntry(int node);
    // Replaces the node by a link to another file (e.g. /dev/full) or removes it.
    void linkNode(int node, const std::string &target);
    void removeNode(int node);

    // What was written to the node so far.
    QByteArray written(int node) const;

    // Points the library's device root somewhere else while the tree lives.
    void setDevRoot(const std::string &path);

private:
    std::string root() const { return FDir.path().toStdString(); }
    std::string deviceFolder(int node) const;
    void addClassEntry(int node);

    QTemporaryDir FDir;
    std::vector<std::pair<const char *, std::optional<std::string>>> FSavedEnvironment;
};
