#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPair>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Small skin packages made for one test with Qt's resource compiler.
class TPackageFixture
{
public:
    using TEntries = QList<QPair<QString, QByteArray>>; // resource path, file content

    // Packs the entries into a binary resource file in a temporary folder and
    // returns its path (empty when rcc failed). AOptions go to rcc as they are.
    QString Build(const TEntries &AEntries, const QStringList &AOptions = {"--no-compress"});
    // Writes AData to a file in the temporary folder and returns its path.
    QString Write(const QString &AName, const QByteArray &AData);
    QString Path(const QString &AName) const { return FDir.filePath(AName); }

private:
    QTemporaryDir FDir;
    int FCount = 0;
};

// An encoded image of one colour, in the given format ("PNG", "BMP").
QByteArray EncodedImage(QSize ASize, QColor AColour, const char *AFormat = "PNG");
// True when every pixel of AImage is fully transparent.
bool IsTransparent(const QImage &AImage);
