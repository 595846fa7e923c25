#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// SIGTERM and SIGINT (a logout, Ctrl+C in a terminal) reach the program as a
// call of OnTerminate on the UI thread. The signal handler only writes one
// byte into a pipe; a socket notifier reads it in the event loop. One object
// at a time; the previous handlers are restored when it goes.
class TTerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TTerminationSignals(QObject *AParent = nullptr);
    ~TTerminationSignals() override;

    // Called once per signal received, on the UI thread, with its number.
    std::function<void(int ASignal)> OnTerminate;

    bool Installed() const { return FInstalled; }

private:
    void Readable();

    QSocketNotifier *FNotifier = nullptr;
    bool FInstalled = false;
};
