#include "capture/devices/FileWatch.h"

#include "capture/devices/CaptureLog.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>

TFileWatch::TFileWatch(const QString &path, std::function<void()> onChanged)
    : FPath(path)
    , FName(QFile::encodeName(QFileInfo(path).fileName()))
    , FOnChanged(std::move(onChanged))
    , FInotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    , FWake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    // A file is complete when it is closed after writing or moved into
    // place; a half-written file is never read.
    const std::uint32_t mask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE;
    if (!FInotify.IsOpen() || !FWake.IsOpen() ||
        ::inotify_add_watch(FInotify.Get(), folder.constData(), mask) < 0) {
        qCWarning(lcCapture).noquote() << "cannot watch" << path << ":" << std::strerror(errno);
        return;
    }
    FThread = std::thread([this] { Run(); });
}

TFileWatch::~TFileWatch()
{
    if (FThread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(FWake.Get(), &one, sizeof one);
        FThread.join();
    }
}

void TFileWatch::Run()
{
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{FInotify.Get(), POLLIN, 0}, {FWake.Get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        bool changed = false;
        for (;;) {
            const ssize_t n = ::read(FInotify.Get(), buffer, sizeof buffer);
            if (n <= 0)
                break;
            for (ssize_t at = 0; at < n;) {
                const auto *ev = reinterpret_cast<const inotify_event *>(buffer + at);
                if (ev->len > 0 && FName == ev->name)
                    changed = true;
                at += ssize_t(sizeof(inotify_event) + ev->len);
            }
        }
        if (changed && FOnChanged)
            FOnChanged();
    }
}
