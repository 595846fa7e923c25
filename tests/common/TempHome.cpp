#include "TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TempHome::TempHome()
{
    if (!FDir.isValid())
        ADD_FAILURE() << "cannot create a temporary home folder";
    const QByteArray home = QFile::encodeName(FDir.path());
    QDir().mkpath(FDir.path() + QStringLiteral("/Documents"));
    QDir().mkpath(FDir.path() + QStringLiteral("/.config"));
    QDir().mkpath(FDir.path() + QStringLiteral("/runtime"));
    QFile::setPermissions(FDir.path() + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    set("HOME", home);
    set("XDG_CONFIG_HOME", home + "/.config");
    set("XDG_DATA_HOME", home + "/.local/share");
    set("XDG_CACHE_HOME", home + "/.cache");
    set("XDG_RUNTIME_DIR", home + "/runtime");
    set("XDG_DOCUMENTS_DIR", home + "/Documents");
}

TempHome::~TempHome()
{
    for (const auto &[name, old] : FSaved) {
        if (old.first)
            qputenv(name.constData(), old.second);
        else
            qunsetenv(name.constData());
    }
}

void TempHome::set(const char *name, const QByteArray &value)
{
    if (!FSaved.contains(name))
        FSaved[name] = {qEnvironmentVariableIsSet(name), qgetenv(name)};
    qputenv(name, value);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return f.readAll();
}
