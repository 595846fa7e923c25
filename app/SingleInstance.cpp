#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString TSingleInstance::LockFileName(const QString &AName)
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    return folder + u'/' + AName + QLatin1String(".lock");
}

TSingleInstance::TSingleInstance(const QString &AName)
    : FFileName(LockFileName(AName))
{
    const int fd =
        ::open(QFile::encodeName(FFileName).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    FFd = fd;
}

TSingleInstance::~TSingleInstance()
{
    // Closing the descriptor releases the lock; the file stays for the next
    // start (removing it would race with a starting copy).
    if (FFd >= 0)
        ::close(FFd);
}
