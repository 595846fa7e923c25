#include "support/ComponentUSB.h"

#include "capture/devices/SimulatedCamera.h"
#include "support/Logging.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWindow>
#include <cerrno>
#include <cstring>
#include <exception>
#include <libudev.h>

void TComponentUSB::TUdevDeleter::operator()(udev *u) const
{
    udev_unref(u);
}

void TComponentUSB::TUdevDeleter::operator()(udev_monitor *m) const
{
    udev_monitor_unref(m);
}

TComponentUSB::TComponentUSB(QObject *AOwner)
    : QObject(AOwner)
{
    FTimer.setSingleShot(true);
    connect(&FTimer, &QTimer::timeout, this, &TComponentUSB::Fire);
    OpenMonitor();
    // The simulated cameras' file is watched on a thread of its own; its
    // changes come here as queued calls (dropped once this object is gone).
    QPointer<TComponentUSB> self(this);
    FSimulatedSubscription = TSimulatedCameras::Subscribe([self] {
        QMetaObject::invokeMethod(
            self.get(),
            [self] {
                if (self)
                    self->DeviceChanged();
            },
            Qt::QueuedConnection);
    });
}

TComponentUSB::~TComponentUSB()
{
    TSimulatedCameras::Unsubscribe(FSimulatedSubscription);
}

void TComponentUSB::OpenMonitor()
{
    FUdev.reset(udev_new());
    // Events after udev has set the device up (its node and permissions);
    // the kernel's own where no udev runs (containers, the test machine).
    const char *source = QFileInfo::exists(QStringLiteral("/run/udev/control")) ? "udev" : "kernel";
    if (FUdev)
        FMonitor.reset(udev_monitor_new_from_netlink(FUdev.get(), source));
    const bool ok =
        FMonitor &&
        udev_monitor_filter_add_match_subsystem_devtype(FMonitor.get(), "usb", nullptr) >= 0 &&
        udev_monitor_filter_add_match_subsystem_devtype(FMonitor.get(), "video4linux", nullptr) >=
            0 &&
        udev_monitor_filter_add_match_subsystem_devtype(FMonitor.get(), "hidraw", nullptr) >= 0 &&
        udev_monitor_enable_receiving(FMonitor.get()) >= 0;
    const int fd = ok ? udev_monitor_get_fd(FMonitor.get()) : -1;
    if (fd < 0) {
        qCWarning(lcSupport).noquote() << "no device monitor, cameras plugged in or out are not "
                                          "noticed:"
                                       << std::strerror(errno);
        FMonitor.reset();
        FUdev.reset();
        return;
    }
    FNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &TComponentUSB::ReadMonitor);
}

void TComponentUSB::ReadMonitor()
{
    bool relevant = false;
    while (udev_device *device = udev_monitor_receive_device(FMonitor.get())) {
        const char *action = udev_device_get_action(device);
        if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0))
            relevant = true;
        udev_device_unref(device);
    }
    if (relevant)
        DeviceChanged();
}

void TComponentUSB::DeviceChanged()
{
    // Restarted by every event: the call comes after the burst's last one.
    FTimer.start(CoalesceMs);
}

void TComponentUSB::Fire()
{
    if (FInCall || QGuiApplication::modalWindow()) {
        FTimer.start(BusyRetryMs);
        return;
    }
    if (!OnUSBChanage)
        return;
    FInCall = true;
    // The handler may end the notifier's owner, and the notifier with it:
    // it runs from a copy, and the notifier is not touched after it if gone.
    const QPointer<TComponentUSB> self(this);
    const std::function<void()> handler = OnUSBChanage;
    try {
        handler();
    } catch (const std::exception &e) {
        qCWarning(lcSupport).noquote() << "the device-change handler failed:" << e.what();
    } catch (...) {
        qCWarning(lcSupport) << "the device-change handler failed";
    }
    if (self)
        FInCall = false;
}
