#pragma once

#include <QString>

// The rule that one copy of the program runs at a time: an exclusive lock
// (flock) on "<runtime folder>/<name>.lock", taken without waiting. The
// kernel drops the lock when the process ends in any way, a crash included,
// so a stale file never blocks a later start.
class TSingleInstance
{
public:
    static constexpr const char *LockName = "Ovilen2018-02-27";

    // Tries to take the lock named AName in $XDG_RUNTIME_DIR (the temporary
    // folder when that is not set).
    explicit TSingleInstance(const QString &AName = QLatin1String(LockName));
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance &) = delete;
    TSingleInstance &operator=(const TSingleInstance &) = delete;

    // True when this process holds the lock; false when another copy holds
    // it or the lock file cannot be opened.
    bool Acquired() const { return FFd >= 0; }
    QString FileName() const { return FFileName; }

    static QString LockFileName(const QString &AName);

private:
    QString FFileName;
    int FFd = -1;
};
