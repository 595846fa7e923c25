#include "capture/devices/SnapshotButton.h"

#include "capture/devices/CaptureLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <unistd.h>
#include <vector>

namespace {

QByteArray ReadSysfs(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().trimmed();
}

// The USB device folder above a sysfs device folder: the nearest one with
// idVendor and idProduct.
QString UsbDeviceOf(const QString &root, const QString &realPath)
{
    for (QDir dir = QFileInfo(realPath).dir(); dir.absolutePath().size() > root.size();) {
        if (QFileInfo::exists(dir.filePath(QStringLiteral("idVendor"))) &&
            QFileInfo::exists(dir.filePath(QStringLiteral("idProduct"))))
            return dir.absolutePath();
        if (!dir.cdUp())
            break;
    }
    return {};
}

// Whether a key bitmap as sysfs writes it ("capabilities/key": hexadecimal
// words of the kernel's long, the most significant first) holds `key`.
bool HasKey(const QByteArray &bitmap, int key)
{
    const QList<QByteArray> words = bitmap.simplified().split(' ');
    constexpr int bitsPerWord = int(sizeof(long) * 8);
    const int index = key / bitsPerWord; // counted from the last word
    if (bitmap.isEmpty() || index >= words.size())
        return false;
    bool ok = false;
    const unsigned long long word = words[words.size() - 1 - index].toULongLong(&ok, 16);
    return ok && ((word >> (key % bitsPerWord)) & 1u);
}

} // namespace

QString TSnapshotButton::FindInputNode(const QString &sysfsRoot, const QString &devRoot,
                                       const QString &videoNode)
{
    const QString root = QFileInfo(sysfsRoot).canonicalFilePath();
    const QString video = QFileInfo(sysfsRoot + QStringLiteral("/class/video4linux/") + videoNode)
                              .canonicalFilePath();
    if (root.isEmpty() || video.isEmpty() || !video.startsWith(root))
        return {};
    const QString usb = UsbDeviceOf(root, video);
    if (usb.isEmpty())
        return {};

    static const QRegularExpression eventNode(QStringLiteral("^event(\\d+)$"));
    const QString classDir = sysfsRoot + QStringLiteral("/class/input");
    std::vector<std::pair<int, QString>> candidates;
    for (const QString &name :
         QDir(classDir).entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot)) {
        const auto m = eventNode.match(name);
        if (!m.hasMatch())
            continue;
        const QString real = QFileInfo(classDir + u'/' + name).canonicalFilePath();
        if (real.startsWith(usb + u'/'))
            candidates.emplace_back(m.captured(1).toInt(), real);
    }
    std::sort(candidates.begin(), candidates.end());
    for (const auto &[number, real] : candidates) {
        // The event node's parent is the input device with the capabilities.
        if (!HasKey(ReadSysfs(real + QStringLiteral("/device/capabilities/key")), KEY_CAMERA))
            continue;
        QString devName = QStringLiteral("input/event%1").arg(number);
        for (const QByteArray &line : ReadSysfs(real + QStringLiteral("/uevent")).split('\n'))
            if (line.startsWith("DEVNAME="))
                devName = QString::fromUtf8(line.mid(8));
        return devRoot + u'/' + devName;
    }
    return {};
}

int TSnapshotButton::OpenInputNode(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

TSnapshotButton::TSnapshotButton(int fd, QObject *parent)
    : QObject(parent)
    , FFd(fd)
{
    if (!FFd.IsOpen())
        return;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && !(flags & O_NONBLOCK))
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    FNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(FNotifier.get(), &QSocketNotifier::activated, this, &TSnapshotButton::ReadEvents);
}

TSnapshotButton::~TSnapshotButton() = default;

void TSnapshotButton::Close()
{
    FNotifier.reset();
    FFd.Reset();
    FPartial.clear();
}

void TSnapshotButton::ReadEvents()
{
    int presses = 0;
    for (;;) {
        char chunk[sizeof(input_event) * 16];
        const ssize_t n = ::read(FFd.Get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n <= 0) {
            // The end of the stream, or the camera is gone (ENODEV).
            qCDebug(lcCapture) << "the snapshot button is gone:"
                               << (n < 0 ? std::strerror(errno) : "end of stream");
            Close();
            break;
        }
        FPartial.append(chunk, qsizetype(n));
        qsizetype at = 0;
        for (; at + qsizetype(sizeof(input_event)) <= FPartial.size(); at += sizeof(input_event)) {
            input_event ev;
            std::memcpy(&ev, FPartial.constData() + at, sizeof ev);
            // A press; key repeats (2) and releases (0) are not.
            if (ev.type == EV_KEY && ev.code == KEY_CAMERA && ev.value == 1)
                ++presses;
        }
        FPartial.remove(0, at);
    }
    // Called after the reading is done, from a copy: a handler may end this
    // object.
    if (const auto onPress = OnPress)
        for (int i = 0; i < presses; ++i)
            onPress();
}
