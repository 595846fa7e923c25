// libafbridge.so through its C exports, against a fake sysfs tree and fake
// device nodes in a temporary folder.
#include "FakeHidTree.h"
#include "afbridge/afbridge.h"

#include <QProcess>
#include <climits>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <tuple>
#include <vector>

namespace {

// The report the library must write: report number 0, 02 04, the mode byte,
// then zeros up to 65 bytes.
QByteArray FocusReport(char modeByte)
{
    QByteArray report(65, '\0');
    report[1] = 0x02;
    report[2] = 0x04;
    report[3] = modeByte;
    return report;
}

std::string EntryName(int32_t index)
{
    std::string name;
    for (int32_t position = 0; position < 300; ++position) {
        const int32_t c = fnGetDeviceName(index, position);
        if (c <= 0)
            break;
        name += static_cast<char>(c);
    }
    return name;
}

// The table as the exports show it: every valid index, in order.
std::vector<std::string> TableNames()
{
    std::vector<std::string> names;
    for (int32_t index = 0; fnGetDeviceName(index, 0) > 0; ++index)
        names.push_back(EntryName(index));
    return names;
}

int OpenDescriptorCount()
{
    int count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

class Afbridge : public testing::Test
{
protected:
    // The library's state lives as long as the process: leave no device open.
    void TearDown() override { fnCloseDevice(); }

    FakeHidTree Tree;
};

using AfbridgeSearch = Afbridge;
using AfbridgeIndex = Afbridge;
using AfbridgeOpen = Afbridge;
using AfbridgeReport = Afbridge;
using AfbridgeTool = Afbridge;

TEST_F(AfbridgeSearch, ListsInterfacesInNodeNumberOrder)
{
    Tree.AddDevice(10, 0x1234, 0x2003);
    Tree.AddDevice(2, 0x046D, 0xC52B);
    Tree.AddDevice(0, 0xABCD, 0x00EF);

    ASSERT_EQ(fnSearchAllDevice(), 3);
    EXPECT_EQ(TableNames(), (std::vector<std::string>{"vid_abcd&pid_00ef", "vid_046d&pid_c52b",
                                                      "vid_1234&pid_2003"}));
    EXPECT_EQ(static_cast<uint32_t>(fnGetDeviceId(0)), 0xABCD00EFu);
    EXPECT_EQ(fnGetDeviceId(1), 0x046DC52B);
    EXPECT_EQ(fnGetDeviceId(2), 0x12342003);
}

TEST_F(AfbridgeSearch, EachSearchRebuildsTheTable)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    Tree.AddDevice(1, 0x046D, 0xC52B);
    ASSERT_EQ(fnSearchAllDevice(), 2);
    const std::vector<std::string> first = TableNames();

    ASSERT_EQ(fnSearchAllDevice(), 2);
    EXPECT_EQ(TableNames(), first);
    EXPECT_EQ(fnGetDeviceName(2, 0), -1);

    Tree.RemoveEntry(0);
    ASSERT_EQ(fnSearchAllDevice(), 1);
    EXPECT_EQ(TableNames(), std::vector<std::string>{"vid_046d&pid_c52b"});
}

// Interfaces whose details cannot be read are counted but get no record.
TEST_F(AfbridgeSearch, UnreadableInterfacesAreCountedWithoutRecord)
{
    enum class Kind
    {
        Uevent,
        NoDevice,
        UnreadableUevent
    };
    struct Case
    {
        const char *What;
        Kind Which;
        const char *Uevent = nullptr;
    };
    const Case cases[] = {
        {"device link leads nowhere", Kind::NoDevice},
        {"uevent cannot be read", Kind::UnreadableUevent},
        {"no HID_ID line", Kind::Uevent, "DRIVER=hid-generic\nHID_NAME=x\n"},
        {"vendor not hexadecimal", Kind::Uevent, "HID_ID=0003:0000XY34:00002003\n"},
        {"product wider than 16 bits", Kind::Uevent, "HID_ID=0003:00001234:00012003\n"},
        {"product missing", Kind::Uevent, "HID_ID=0003:00001234\n"},
        {"empty vendor", Kind::Uevent, "HID_ID=0003::00002003\n"},
        {"signed vendor", Kind::Uevent, "HID_ID=0003:-1234:2003\n"},
        {"key not at line start", Kind::Uevent, "XHID_ID=0003:00001234:00002003\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.What);
        FakeHidTree local;
        local.AddDevice(0, 0x1234, 0x2003);
        switch (c.Which) {
        case Kind::Uevent:
            local.AddEntry(1, c.Uevent);
            break;
        case Kind::NoDevice:
            local.AddEntryWithoutDevice(1);
            break;
        case Kind::UnreadableUevent:
            local.AddEntryWithUnreadableUevent(1);
            break;
        }
        local.AddDevice(2, 0x046D, 0xC52B);

        EXPECT_EQ(fnSearchAllDevice(), 3);
        EXPECT_EQ(TableNames(),
                  (std::vector<std::string>{"vid_1234&pid_2003", "vid_046d&pid_c52b"}));
    }
}

TEST_F(AfbridgeSearch, DevicePathMustFitTheRecord)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    // "<root>/hidraw0": a root of 247 characters gives a path of 255, which
    // fits with its terminating zero; one more character does not.
    for (const auto &[rootLength, records] : {std::pair{247, 1}, std::pair{248, 0}}) {
        SCOPED_TRACE(rootLength);
        Tree.SetDevRoot("/" + std::string(rootLength - 1, 'd'));
        EXPECT_EQ(fnSearchAllDevice(), 1);
        EXPECT_EQ(TableNames().size(), static_cast<size_t>(records));
    }
}

TEST_F(AfbridgeSearch, MissingOrUnreadableInterfaceList)
{
    namespace fs = std::filesystem;
    Tree.AddDevice(0, 0x1234, 0x2003);
    const std::string classFolder = Tree.SysfsRoot() + "/class/hidraw";
    const std::string movedAway = classFolder + ".away";
    ASSERT_EQ(fnSearchAllDevice(), 1);

    // No hidraw class at all: no HID interface is present.
    fs::rename(classFolder, movedAway);
    EXPECT_EQ(fnSearchAllDevice(), 0);
    EXPECT_EQ(fnGetDeviceId(0), -1);

    // A class "folder" that cannot be listed: the list cannot be read, and the
    // table is empty all the same.
    fs::rename(movedAway, classFolder);
    ASSERT_EQ(fnSearchAllDevice(), 1);
    fs::rename(classFolder, movedAway);
    std::ofstream(classFolder) << "not a folder";
    EXPECT_EQ(fnSearchAllDevice(), -1);
    EXPECT_EQ(fnGetDeviceId(0), -1);
}

TEST_F(AfbridgeIndex, IndexesOutsideTheTableAreRejected)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    Tree.AddDevice(1, 0x046D, 0xC52B);

    const auto expectRejected = [](const std::vector<int32_t> &indexes) {
        for (const int32_t index : indexes) {
            SCOPED_TRACE(index);
            EXPECT_EQ(fnGetDeviceName(index, 0), -1);
            EXPECT_EQ(fnGetDeviceId(index), -1);
            EXPECT_EQ(fnOpenDeviceByIndex(index), -1);
        }
    };
    // Before any search the table is empty; then it holds two entries.
    expectRejected({-1, INT32_MIN, 0, 1, INT32_MAX});
    ASSERT_EQ(fnSearchAllDevice(), 2);
    expectRejected({-1, INT32_MIN, 2, 3, INT32_MAX});
    EXPECT_EQ(fnCloseDevice(), -1) << "a rejected index opened a device";

    // A rejected index leaves the open device open.
    ASSERT_EQ(fnOpenDeviceByIndex(1), 0);
    EXPECT_EQ(fnOpenDeviceByIndex(2), -1);
    EXPECT_EQ(fnSetAFMode(1), 0);
    EXPECT_EQ(Tree.Written(1), FocusReport(0x00));
}

TEST_F(AfbridgeIndex, NameCharactersByPosition)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    ASSERT_EQ(fnSearchAllDevice(), 1);

    EXPECT_EQ(EntryName(0), "vid_1234&pid_2003");
    EXPECT_EQ(fnGetDeviceName(0, 16), '3');
    EXPECT_EQ(fnGetDeviceName(0, 17), 0);
    EXPECT_EQ(fnGetDeviceName(0, INT32_MAX), 0);
    EXPECT_EQ(fnGetDeviceName(0, -1), -1);
    EXPECT_EQ(fnGetDeviceName(0, INT32_MIN), -1);
}

TEST_F(AfbridgeIndex, OpenByIndexOpensThatEntry)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    Tree.AddDevice(1, 0x1234, 0x2003);
    ASSERT_EQ(fnSearchAllDevice(), 2);

    ASSERT_EQ(fnOpenDeviceByIndex(1), 0);
    ASSERT_EQ(fnSetAFMode(0), 0);
    EXPECT_EQ(Tree.Written(0), QByteArray());
    EXPECT_EQ(Tree.Written(1), FocusReport(0x03));
}

TEST_F(AfbridgeOpen, DuplicateIdentifiersOpenTheFirstEntry)
{
    Tree.AddDevice(3, 0x1234, 0x2003);
    Tree.AddDevice(1, 0x046D, 0xC52B);
    Tree.AddDevice(7, 0x1234, 0x2003);
    ASSERT_EQ(fnSearchAllDevice(), 3);

    ASSERT_EQ(fnOpenDeviceById(0x1234, 0x2003), 0);
    ASSERT_EQ(fnSetAFMode(1), 0);
    EXPECT_EQ(Tree.Written(3), FocusReport(0x00));
    EXPECT_EQ(Tree.Written(7), QByteArray());
}

TEST_F(AfbridgeOpen, UnknownIdentifiersLeaveTheOpenDeviceOpen)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    EXPECT_EQ(fnOpenDeviceById(0x1234, 0x2003), -1) << "opened before any search";
    ASSERT_EQ(fnSearchAllDevice(), 1);
    ASSERT_EQ(fnOpenDeviceById(0x1234, 0x2003), 0);

    for (const auto &[vendor, product] : {std::pair{0x1234, 0x2004}, std::pair{0x2003, 0x1234},
                                          std::pair{0x1234 + 0x10000, 0x2003}, std::pair{-1, -1}}) {
        EXPECT_EQ(fnOpenDeviceById(vendor, product), -1) << vendor << ":" << product;
    }
    EXPECT_EQ(fnSetAFMode(1), 0);
    EXPECT_EQ(Tree.Written(0), FocusReport(0x00));
}

TEST_F(AfbridgeOpen, FailedOpenLeavesNoDeviceOpen)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    Tree.AddDevice(1, 0x046D, 0xC52B);
    Tree.RemoveNode(1);
    ASSERT_EQ(fnSearchAllDevice(), 2);
    ASSERT_EQ(fnOpenDeviceById(0x1234, 0x2003), 0);

    EXPECT_EQ(fnOpenDeviceById(0x046D, 0xC52B), -1);
    EXPECT_EQ(fnSetAFMode(1), -1);
    EXPECT_EQ(fnCloseDevice(), -1);
    EXPECT_EQ(Tree.Written(0), QByteArray());
}

TEST_F(AfbridgeOpen, OpeningAgainClosesTheEarlierHandle)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    Tree.AddDevice(1, 0x046D, 0xC52B);
    ASSERT_EQ(fnSearchAllDevice(), 2);
    const int before = OpenDescriptorCount();

    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(fnOpenDeviceById(0x1234, 0x2003), 0);
        ASSERT_EQ(fnOpenDeviceByIndex(1), 0);
    }
    EXPECT_EQ(OpenDescriptorCount(), before + 1);
    ASSERT_EQ(fnSetAFMode(0), 0);
    EXPECT_EQ(Tree.Written(0), QByteArray());
    EXPECT_EQ(Tree.Written(1), FocusReport(0x03));

    EXPECT_EQ(fnCloseDevice(), 1);
    EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST_F(AfbridgeOpen, SearchLeavesTheOpenDeviceOpen)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    ASSERT_EQ(fnSearchAllDevice(), 1);
    ASSERT_EQ(fnOpenDeviceById(0x1234, 0x2003), 0);

    Tree.RemoveEntry(0);
    ASSERT_EQ(fnSearchAllDevice(), 0);
    EXPECT_EQ(fnSetAFMode(7), 0);
    EXPECT_EQ(Tree.Written(0), FocusReport(0x00));
}

TEST_F(AfbridgeReport, WritesTheFocusReportForEachMode)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    ASSERT_EQ(fnSearchAllDevice(), 1);
    ASSERT_EQ(fnOpenDeviceById(0x1234, 0x2003), 0);

    // Every non-zero mode turns the mode on; only 0 gives 03.
    const std::pair<int32_t, char> modes[] = {{1, 0x00},  {0, 0x03},         {7, 0x00},
                                              {-1, 0x00}, {INT32_MIN, 0x00}, {256, 0x00}};
    QByteArray expected;
    for (const auto &[mode, modeByte] : modes) {
        EXPECT_EQ(fnSetAFMode(mode), 0) << mode;
        expected += FocusReport(modeByte);
    }
    EXPECT_EQ(Tree.Written(0), expected);
}

TEST_F(AfbridgeReport, NoDeviceOpenWritesNothing)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    ASSERT_EQ(fnSearchAllDevice(), 1);

    EXPECT_EQ(fnSetAFMode(1), -1) << "before open";
    EXPECT_EQ(fnCloseDevice(), -1) << "close before open";
    ASSERT_EQ(fnOpenDeviceById(0x1234, 0x2003), 0);
    EXPECT_EQ(fnCloseDevice(), 1);
    EXPECT_EQ(fnCloseDevice(), -1) << "second close";
    EXPECT_EQ(fnSetAFMode(0), -1) << "after close";
    EXPECT_EQ(Tree.Written(0), QByteArray());
}

TEST_F(AfbridgeReport, FailedWriteReturnsMinusOne)
{
    // A node whose writes fail outright (no space left on the device).
    Tree.AddDevice(0, 0x1234, 0x2003);
    Tree.LinkNode(0, "/dev/full");
    ASSERT_EQ(fnSearchAllDevice(), 1);
    ASSERT_EQ(fnOpenDeviceById(0x1234, 0x2003), 0);
    EXPECT_EQ(fnSetAFMode(1), -1);
    EXPECT_EQ(fnCloseDevice(), 1) << "a failed write leaves the device open";
}

// Limits the size of files this process writes while it lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &FSaved);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FSaved;
        limit.rlim_cur = bytes;
        FApplied = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &FSaved);
        std::signal(SIGXFSZ, FOldHandler);
    }
    bool Applied() const { return FApplied; }

private:
    rlimit FSaved{};
    void (*FOldHandler)(int) = nullptr;
    bool FApplied = false;
};

TEST_F(AfbridgeReport, ShortWriteReturnsMinusOne)
{
    Tree.AddDevice(0, 0x1234, 0x2003);
    ASSERT_EQ(fnSearchAllDevice(), 1);
    ASSERT_EQ(fnOpenDeviceById(0x1234, 0x2003), 0);
    int32_t result;
    {
        // The node takes only the first 10 bytes of the report.
        FileSizeLimit limit(10);
        ASSERT_TRUE(limit.Applied());
        result = fnSetAFMode(1);
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Tree.Written(0), FocusReport(0x00).left(10)) << "the write was not short";
}

TEST_F(AfbridgeTool, ListsAndSetsTheFocusMode)
{
    Tree.AddDevice(0, 0x046D, 0xC52B);
    Tree.AddDevice(1, 0x1234, 0x2003);
    Tree.AddEntry(2, "DRIVER=hid-generic\n");

    const auto run = [](const QStringList &arguments) {
        QProcess tool;
        tool.start(QStringLiteral(AFBRIDGE_TOOL), arguments);
        EXPECT_TRUE(tool.waitForFinished(10000));
        return std::tuple{tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
                          QString::fromUtf8(tool.readAllStandardError())};
    };

    const auto [listCode, listOut, listErr] = run({"list"});
    EXPECT_EQ(listCode, 0) << listErr.toStdString();
    EXPECT_EQ(listOut, QStringLiteral("0\tvid_046d&pid_c52b\n1\tvid_1234&pid_2003\n"
                                      "3 HID interface(s), 2 with identifiers\n"));

    const auto [manualCode, manualOut, manualErr] = run({"focus", "1234", "2003", "manual"});
    EXPECT_EQ(manualCode, 0) << manualErr.toStdString();
    EXPECT_EQ(manualOut, QStringLiteral("vid_1234&pid_2003: manual focus\n"));
    EXPECT_EQ(Tree.Written(1), FocusReport(0x03));
    // Each run opens the node afresh and writes from its start.
    const auto [autoCode, autoOut, autoErr] = run({"focus", "0x1234", "2003", "auto"});
    EXPECT_EQ(autoCode, 0) << autoErr.toStdString();
    EXPECT_EQ(Tree.Written(1), FocusReport(0x00));
    EXPECT_EQ(Tree.Written(0), QByteArray());

    const auto [missingCode, missingOut, missingErr] = run({"focus", "1234", "2004", "auto"});
    EXPECT_EQ(missingCode, 1);
    EXPECT_TRUE(missingErr.contains(QStringLiteral("no HID interface vid_1234&pid_2004")))
        << missingErr.toStdString();

    Tree.RemoveNode(0);
    const auto [openCode, openOut, openErr] = run({"focus", "46d", "c52b", "auto"});
    EXPECT_EQ(openCode, 1);
    EXPECT_TRUE(openErr.contains(QStringLiteral("cannot open vid_046d&pid_c52b")))
        << openErr.toStdString();

    for (const QStringList &arguments :
         {QStringList{}, QStringList{"focus", "12345", "2003", "auto"},
          QStringList{"focus", "1234", "2003", "sharp"}, QStringList{"list", "extra"}}) {
        EXPECT_EQ(std::get<0>(run(arguments)), 2) << arguments.join(' ').toStdString();
    }
}

} // namespace
