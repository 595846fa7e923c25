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

    std::string SysfsRoot() const { return Root() + "/sys"; }
    std::string DevRoot() const { return Root() + "/dev"; }
    std::string NodePath(int node) const;

    // hidraw<node> of a HID device with these identifiers, and its node.
    void AddDevice(int node, std::uint16_t vendorId, std::uint16_t productId);
    // hidraw<node> whose HID device folder has this uevent text, and its node.
    void AddEntry(int node, const std::string &uevent);
    // hidraw<node> whose "device" link leads nowhere.
    void AddEntryWithoutDevice(int node);
    // hidraw<node> whose uevent is a folder, so reading it fails.
    void AddEntryWithUnreadableUevent(int node);
    // Removes hidraw<node> from the class folder (the node stays).
    void RemoveEntry(int node);
    // Replaces the node by a link to another file (e.g. /dev/full) or removes it.
    void LinkNode(int node, const std::string &target);
    void RemoveNode(int node);

    // What was written to the node so far.
    QByteArray Written(int node) const;

    // Points the library's device root somewhere else while the tree lives.
    void SetDevRoot(const std::string &path);

private:
    std::string Root() const { return FDir.path().toStdString(); }
    std::string DeviceFolder(int node) const;
    void AddClassEntry(int node);

    QTemporaryDir FDir;
    std::vector<std::pair<const char *, std::optional<std::string>>> FSavedEnvironment;
};
