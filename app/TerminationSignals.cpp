#include "app/TerminationSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int SignalPipe[2] = {-1, -1};
struct sigaction PreviousTerm, PreviousInt;

extern "C" void OnSignal(int ASignal)
{
    // Only async-signal-safe calls here: write() of one byte.
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(ASignal);
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TTerminationSignals::TTerminationSignals(QObject *AParent)
    : QObject(AParent)
{
    if (::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    FNotifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &TTerminationSignals::Readable);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &PreviousTerm);
    ::sigaction(SIGINT, &action, &PreviousInt);
    FInstalled = true;
}

TTerminationSignals::~TTerminationSignals()
{
    if (FInstalled) {
        ::sigaction(SIGTERM, &PreviousTerm, nullptr);
        ::sigaction(SIGINT, &PreviousInt, nullptr);
    }
    delete FNotifier;
    for (int &fd : SignalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void TTerminationSignals::Readable()
{
    unsigned char byte = 0;
    while (::read(SignalPipe[0], &byte, 1) == 1)
        if (OnTerminate)
            OnTerminate(byte);
}
