#pragma once

// The USB notifier: tells its owner, on the UI thread, that devices came or
// went. It listens to the system's device events (a libudev monitor on the
// subsystems usb, video4linux and hidraw, read through a socket notifier)
// and to the simulated cameras' watched file (OVILEN_SIMULATED_CAMERAS=@file).
//
// - A burst of events (one plug gives several) makes one call, CoalesceMs
//   after the burst's last event.
// - The call never runs inside itself, nor while a modal window is open (a
//   dialog the call opened, or any other, such as the settings): it waits,
//   checked every BusyRetryMs, and then runs once for everything that came
//   meanwhile. "A modal window is open" is QGuiApplication::modalWindow(),
//   which every modal QDialog (exec()) and modal QWindow sets.
// - Anything the call throws is caught and logged; the notifier goes on.
// - Without a device monitor (no netlink socket, a sandbox) it logs once and
//   reports only the simulated cameras' changes.
//
// The call says only that something changed. Whether the cameras did is for
// the handler to find out: GetCameraList and SameCameras (device paths, so a
// camera swapped for another with an equal count is a change).

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class TComponentUSB : public QObject
{
    Q_OBJECT
public:
    static constexpr int CoalesceMs = 300;
    static constexpr int BusyRetryMs = 100;

    explicit TComponentUSB(QObject *AOwner = nullptr);
    ~TComponentUSB() override;

    // Called with no arguments on the UI thread after a change; unset by
    // default.
    std::function<void()> OnUSBChanage;

    // True when the system's device events are heard.
    bool Monitoring() const { return FNotifier != nullptr; }
    // A device change as if the system had reported one.
    void DeviceChanged();

private:
    void OpenMonitor();
    void ReadMonitor();
    void Fire();

    struct TUdevDeleter
    {
        void operator()(udev *u) const;
        void operator()(udev_monitor *m) const;
    };
    std::unique_ptr<udev, TUdevDeleter> FUdev;
    std::unique_ptr<udev_monitor, TUdevDeleter> FMonitor;
    QSocketNotifier *FNotifier = nullptr;
    QTimer FTimer;
    bool FInCall = false;
    int FSimulatedSubscription = 0;
};
