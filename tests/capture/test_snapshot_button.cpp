// The camera's snapshot button behind its seam: a fake sysfs tree in which
// the button is found beside the video node, and a FIFO standing for its
// event node, fed with `struct input_event`s. Where /dev/uinput can be used
// (the test VM: tests/capture/run-button-in-vm.sh), a real input device with
// the camera key checks the kernel's own key bitmap and event node.
#include "capture/devices/SnapshotButton.h"
#include "capture/devices/V4l2Provider.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/input.h>
#include <linux/uinput.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QString Usb = QStringLiteral("devices/pci0000:00/0000:00:14.0/usb1/1-2");
const QString OtherUsb = QStringLiteral("devices/pci0000:00/0000:00:14.0/usb1/1-3");
// KEY_CAMERA (212) in the key bitmap as sysfs writes it with 64-bit words.
const QByteArray CameraKey = "100000 0 0 0";

class SnapshotButton : public ::testing::Test
{
protected:
    QString Sys() const { return FRoot.path() + "/sys"; }
    QString Dev() const { return FRoot.path() + "/dev"; }

    void Write(const QString &relative, const QByteArray &text)
    {
        const QString path = Sys() + "/" + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text + "\n");
    }
    void Link(const QString &target, const QString &linkRelative)
    {
        const QString link = Sys() + "/" + linkRelative;
        QDir().mkpath(QFileInfo(link).path());
        ASSERT_TRUE(QFile::link(target, link));
    }
    // A USB device with its identity.
    void UsbDevice(const QString &dir)
    {
        Write(dir + "/idVendor", "0c45");
        Write(dir + "/idProduct", "2003");
    }
    // A video node under a device folder, with its class link.
    void VideoNode(const QString &name, const QString &deviceDir)
    {
        QDir().mkpath(Sys() + "/" + deviceDir + "/video4linux/" + name);
        Link("../../" + deviceDir + "/video4linux/" + name, "class/video4linux/" + name);
    }
    // An input device with its event node, as the kernel lays them out.
    void InputDevice(int number, const QString &deviceDir, const QByteArray &keys,
                     bool withDevName = true)
    {
        const QString input = deviceDir + QStringLiteral("/input/input%1").arg(number);
        const QString event = input + QStringLiteral("/event%1").arg(number);
        Write(input + "/capabilities/key", keys);
        Write(event + "/uevent", withDevName
                                     ? QByteArray("MAJOR=13\nMINOR=7") + "\nDEVNAME=input/event" +
                                           QByteArray::number(number)
                                     : QByteArray("MAJOR=13"));
        Link("..", event + "/device");
        Link("../../" + event, QStringLiteral("class/input/event%1").arg(number));
    }
    // A FIFO standing for an event node.
    QString EventFifo(int number)
    {
        QDir().mkpath(Dev() + "/input");
        const QString path = Dev() + QStringLiteral("/input/event%1").arg(number);
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    }

    QTemporaryDir FRoot;
};

input_event Event(std::uint16_t type, std::uint16_t code, std::int32_t value)
{
    input_event ev{};
    ev.type = type;
    ev.code = code;
    ev.value = value;
    return ev;
}

TEST_F(SnapshotButton, FoundBesideTheVideoNodeOnTheSameUsbDevice)
{
    UsbDevice(Usb);
    UsbDevice(OtherUsb);
    VideoNode("video0", Usb + "/1-2:1.0");
    VideoNode("video4", OtherUsb + "/1-3:1.0");
    VideoNode("video9", "devices/platform/soc/fe801000.csi");
    // The keyboard of another USB device has the camera key too; the camera's
    // own interface has one device without it (listed first) and the button.
    InputDevice(3, OtherUsb + "/1-3:1.1", CameraKey);
    InputDevice(5, Usb + "/1-2:1.0", "0");
    InputDevice(7, Usb + "/1-2:1.0", CameraKey);
    InputDevice(8, "devices/platform/i8042/serio0", CameraKey);

    struct Case
    {
        const char *Node;
        QString Expected;
    };
    const Case cases[] = {
        {"video0", Dev() + "/input/event7"},
        {"video4", Dev() + "/input/event3"},
        {"video9", {}}, // not a USB camera
        {"video2", {}}, // no such node
    };
    for (const Case &c : cases)
        EXPECT_EQ(TSnapshotButton::FindInputNode(Sys(), Dev(), c.Node), c.Expected) << c.Node;
}

TEST_F(SnapshotButton, TheKeyBitmapIsReadWordByWord)
{
    UsbDevice(Usb);
    VideoNode("video0", Usb + "/1-2:1.0");
    struct Case
    {
        QByteArray Keys;
        bool Found;
    };
    const Case cases[] = {
        {CameraKey, true},
        {"ffffffffffffffff 100000 0 0 0", true}, // more keys above it
        {"fffff 0 0 0", false},                  // the bit below
        {"200000 0 0 0", false},                 // the bit above
        {"100000 0 0", false},                   // the word below
        {"0", false},
        {"", false},
        {"zz 0 0 0", false},
    };
    int number = 10;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Keys.constData());
        // Each case in a tree of its own.
        QDir(Sys() + "/class/input").removeRecursively();
        QDir(Sys() + "/" + Usb + "/1-2:1.0/input").removeRecursively();
        ++number;
        InputDevice(number, Usb + "/1-2:1.0", c.Keys, number % 2 == 0);
        const QString found = TSnapshotButton::FindInputNode(Sys(), Dev(), "video0");
        EXPECT_EQ(found,
                  c.Found ? Dev() + QStringLiteral("/input/event%1").arg(number) : QString());
    }
}

TEST_F(SnapshotButton, PressesAreReadAsTheyComeUntilTheNodeGoes)
{
    const QString node = EventFifo(7);
    TSnapshotButton button(TSnapshotButton::OpenInputNode(node));
    ASSERT_TRUE(button.IsOpen());
    int presses = 0;
    button.OnPress = [&] {
        ++presses;
    };
    const int writer = ::open(QFile::encodeName(node).constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);

    // A press, its repeats and its release are one press; other keys none.
    const input_event held[] = {
        Event(EV_KEY, KEY_CAMERA, 1), Event(EV_SYN, SYN_REPORT, 0),
        Event(EV_KEY, KEY_CAMERA, 2), Event(EV_KEY, KEY_CAMERA, 2),
        Event(EV_KEY, KEY_CAMERA, 0), Event(EV_SYN, SYN_REPORT, 0),
        Event(EV_KEY, KEY_A, 1),      Event(EV_MSC, MSC_SCAN, KEY_CAMERA),
    };
    ASSERT_EQ(::write(writer, held, sizeof held), ssize_t(sizeof held));
    ASSERT_TRUE(QTest::qWaitFor([&] { return presses == 1; }, 2000));

    // An event split across two reads still counts once.
    const input_event press = Event(EV_KEY, KEY_CAMERA, 1);
    const auto *bytes = reinterpret_cast<const char *>(&press);
    ASSERT_EQ(::write(writer, bytes, 5), 5);
    QTest::qWait(50);
    EXPECT_EQ(presses, 1);
    ASSERT_EQ(::write(writer, bytes + 5, sizeof press - 5), ssize_t(sizeof press - 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return presses == 2; }, 2000));

    // Three presses in one go.
    const input_event three[] = {press, Event(EV_KEY, KEY_CAMERA, 0), press,
                                 Event(EV_KEY, KEY_CAMERA, 0), press};
    ASSERT_EQ(::write(writer, three, sizeof three), ssize_t(sizeof three));
    ASSERT_TRUE(QTest::qWaitFor([&] { return presses == 5; }, 2000));

    // The node goes (the camera is unplugged): the button closes.
    ::close(writer);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !button.IsOpen(); }, 2000));
    EXPECT_EQ(presses, 5);
}

// Enough of a V4L2 system for the provider to list one camera: its node
// answers what a capture device answers; sysfs and /dev are folders.
class TOneCamera final : public TV4l2System
{
public:
    TOneCamera(QString sys, QString dev)
        : FSys(std::move(sys))
        , FDev(std::move(dev))
    {}
    int Open(const QString &path, int) override
    {
        if (path != "/dev/video0") {
            errno = ENOENT;
            return -1;
        }
        return 100;
    }
    int Close(int) override { return 0; }
    int Ioctl(int, unsigned long request, void *arg) override
    {
        if (request != VIDIOC_QUERYCAP) {
            errno = EINVAL;
            return -1;
        }
        auto *cap = static_cast<v4l2_capability *>(arg);
        *cap = {};
        std::memcpy(cap->card, "Doc Cam", 7);
        cap->capabilities = V4L2_CAP_VIDEO_CAPTURE;
        return 0;
    }
    QString SysfsRoot() const override { return FSys; }
    QString DevRoot() const override { return FDev; }

private:
    QString FSys, FDev;
};

TEST_F(SnapshotButton, AV4l2CameraOpensItsButton)
{
    UsbDevice(Usb);
    VideoNode("video0", Usb + "/1-2:1.0");
    TV4l2Provider provider(std::make_shared<TOneCamera>(Sys(), Dev()));
    auto devices = provider.Enumerate();
    ASSERT_EQ(devices.size(), 1u);

    // No button yet.
    EXPECT_EQ(devices[0]->OpenSnapshotButton(), -1);

    InputDevice(7, Usb + "/1-2:1.0", CameraKey);
    const QString node = EventFifo(7);
    TSnapshotButton button(devices[0]->OpenSnapshotButton());
    ASSERT_TRUE(button.IsOpen());
    int presses = 0;
    button.OnPress = [&] {
        ++presses;
    };
    const int writer = ::open(QFile::encodeName(node).constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    const input_event press = Event(EV_KEY, KEY_CAMERA, 1);
    ASSERT_EQ(::write(writer, &press, sizeof press), ssize_t(sizeof press));
    EXPECT_TRUE(QTest::qWaitFor([&] { return presses == 1; }, 2000));
    ::close(writer);

    // A node the user may not read (input nodes often belong to the "input"
    // group) gives no button and no failure.
    if (::geteuid() != 0) {
        ::chmod(QFile::encodeName(node).constData(), 0);
        EXPECT_EQ(devices[0]->OpenSnapshotButton(), -1);
    }
}

// A virtual input device with the camera key, made through uinput.
class TUinputButton
{
public:
    TUinputButton()
    {
        FFd = ::open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (FFd < 0)
            return;
        uinput_setup setup{};
        setup.id.bustype = BUS_USB;
        std::strcpy(setup.name, "Ovilen test camera button");
        char sysname[64] = {};
        if (::ioctl(FFd, UI_SET_EVBIT, EV_KEY) < 0 || ::ioctl(FFd, UI_SET_KEYBIT, KEY_CAMERA) < 0 ||
            ::ioctl(FFd, UI_DEV_SETUP, &setup) < 0 || ::ioctl(FFd, UI_DEV_CREATE) < 0 ||
            ::ioctl(FFd, UI_GET_SYSNAME(sizeof sysname), sysname) < 0) {
            ::close(FFd);
            FFd = -1;
            return;
        }
        Input = QStringLiteral("/sys/devices/virtual/input/") + QString::fromLatin1(sysname);
    }
    ~TUinputButton()
    {
        if (FFd >= 0) {
            ::ioctl(FFd, UI_DEV_DESTROY);
            ::close(FFd);
        }
    }
    bool IsOpen() const { return FFd >= 0; }
    bool Send(const input_event &ev) { return ::write(FFd, &ev, sizeof ev) == ssize_t(sizeof ev); }

    QString Input; // the input device's sysfs folder

private:
    int FFd = -1;
};

TEST_F(SnapshotButton, ARealInputDeviceWithTheCameraKey)
{
    TUinputButton uinput;
    if (!uinput.IsOpen())
        GTEST_SKIP() << "no /dev/uinput here";
    const QStringList events = QDir(uinput.Input).entryList({QStringLiteral("event*")}, QDir::Dirs);
    ASSERT_EQ(events.size(), 1);
    const QString eventNode = events[0];

    // The kernel's key bitmap, in a tree where the device sits beside a
    // camera on its USB device, is read as having the camera key.
    QFile keys(uinput.Input + "/capabilities/key");
    ASSERT_TRUE(keys.open(QIODevice::ReadOnly));
    UsbDevice(Usb);
    VideoNode("video0", Usb + "/1-2:1.0");
    InputDevice(eventNode.mid(5).toInt(), Usb + "/1-2:1.0", keys.readAll().trimmed());
    EXPECT_EQ(TSnapshotButton::FindInputNode(Sys(), "/dev", "video0"), "/dev/input/" + eventNode);

    // Presses through the kernel's own event node.
    const QString node = "/dev/input/" + eventNode;
    if (!QFile::exists(node)) { // no devtmpfs
        ASSERT_EQ(::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0600,
                          makedev(13, 64 + eventNode.mid(5).toInt())),
                  0);
    }
    TSnapshotButton button(TSnapshotButton::OpenInputNode(node));
    ASSERT_TRUE(button.IsOpen()) << std::strerror(errno);
    int presses = 0;
    button.OnPress = [&] {
        ++presses;
    };
    for (const input_event &ev :
         {Event(EV_KEY, KEY_CAMERA, 1), Event(EV_SYN, SYN_REPORT, 0), Event(EV_KEY, KEY_CAMERA, 0),
          Event(EV_SYN, SYN_REPORT, 0), Event(EV_KEY, KEY_CAMERA, 1), Event(EV_SYN, SYN_REPORT, 0)})
        ASSERT_TRUE(uinput.Send(ev));
    EXPECT_TRUE(QTest::qWaitFor([&] { return presses == 2; }, 5000));
}

} // namespace
