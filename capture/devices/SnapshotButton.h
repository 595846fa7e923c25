#pragma once

// The camera's own snapshot button. UVC cameras report it as an input device
// with the key KEY_CAMERA, a child of the same USB device as the video node.
// Its events are read on the UI thread as they come (a socket notifier on the
// event stream); each press calls OnPress.

#include "capture/devices/FileHandle.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

class TSnapshotButton : public QObject
{
    Q_OBJECT
public:
    // Takes over `fd`: a stream of `struct input_event` (an evdev node, or a
    // simulated camera's button), read without blocking.
    explicit TSnapshotButton(int fd, QObject *parent = nullptr);
    ~TSnapshotButton() override;

    // Called on the UI thread for every press of the button.
    std::function<void()> OnPress;
    // False once the stream has ended (the camera was unplugged).
    bool IsOpen() const { return FFd.IsOpen(); }

    // The event node (`devRoot` + "/input/eventN") of the input device that
    // has KEY_CAMERA and lies under the same USB device as the video node
    // `videoNode` ("video0") in the sysfs tree at `sysfsRoot`; empty when
    // there is none.
    static QString FindInputNode(const QString &sysfsRoot, const QString &devRoot,
                                 const QString &videoNode);
    // Opens an event node for reading without blocking; -1 with errno set.
    static int OpenInputNode(const QString &path);

private:
    void ReadEvents();
    void Close();

    TFileHandle FFd;
    std::unique_ptr<QSocketNotifier> FNotifier;
    QByteArray FPartial; // the start of an event that has not fully arrived
};
