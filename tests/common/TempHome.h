#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <map>

// A throw-away home folder for one test: HOME and the XDG folders point into
// a temporary directory while the object lives, and are restored afterwards.
// The documents folder is <home>/Documents.
class TempHome
{
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome &) = delete;
    TempHome &operator=(const TempHome &) = delete;

    QString path() const { return FDir.path(); }
    QString documents() const { return FDir.path() + QStringLiteral("/Documents"); }
    // Path of a file or folder inside the home folder.
    QString file(const QString &relative) const { return FDir.path() + u'/' + relative; }

private:
    void set(const char *name, const QByteArray &value);

    QTemporaryDir FDir;
    std::map<QByteArray, std::pair<bool, QByteArray>> FSaved;
};

// Writes bytes to a file, creating its folder; fails the test on error.
void writeFile(const QString &path, const QByteArray &bytes);
// Reads a whole file; fails the test on error.
QByteArray readFile(const QString &path);
