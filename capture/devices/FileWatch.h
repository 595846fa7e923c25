#pragma once

// Watches one file from a thread of its own (inotify on its folder): after
// the file was written and closed, moved into place, moved away or deleted,
// OnChanged runs on that thread. Works without an event loop, so a device
// provider can follow a file whoever uses it.

#include "capture/devices/FileHandle.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <thread>

class TFileWatch
{
public:
    // Starts watching `path`; the file need not exist yet, its folder must.
    TFileWatch(const QString &path, std::function<void()> onChanged);
    // Stops the thread; OnChanged is not running once this returns.
    ~TFileWatch();
    TFileWatch(const TFileWatch &) = delete;
    TFileWatch &operator=(const TFileWatch &) = delete;

    // False when the watch could not be set up (it then reports nothing).
    bool IsWatching() const { return FThread.joinable(); }
    QString Path() const { return FPath; }

private:
    void Run();

    QString FPath;
    QByteArray FName; // the file's name inside its folder
    std::function<void()> FOnChanged;
    TFileHandle FInotify;
    TFileHandle FWake; // an eventfd that ends the thread
    std::thread FThread;
};
