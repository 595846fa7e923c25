#include "PackageFixture.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>

QString TPackageFixture::Build(const TEntries &AEntries, const QStringList &AOptions)
{
    const QString name = QStringLiteral("package%1").arg(FCount++);
    QString qrc = QStringLiteral("<RCC><qresource prefix=\"/\">\n");
    for (int i = 0; i < AEntries.size(); ++i) {
        const QString file =
            Write(QStringLiteral("%1_%2.bin").arg(name).arg(i), AEntries[i].second);
        qrc += QStringLiteral("<file alias=\"%1\">%2</file>\n").arg(AEntries[i].first, file);
    }
    qrc += QStringLiteral("</qresource></RCC>\n");
    const QString qrcPath = Write(name + QStringLiteral(".qrc"), qrc.toUtf8());
    const QString out = FDir.filePath(name + QStringLiteral(".rcc"));
    QStringList args = AOptions;
    args << QStringLiteral("--binary") << QStringLiteral("-o") << out << qrcPath;
    QProcess rcc;
    rcc.start(QStringLiteral(OVILEN_RCC), args);
    if (!rcc.waitForFinished(30000) || rcc.exitStatus() != QProcess::NormalExit ||
        rcc.exitCode() != 0)
        return {};
    return out;
}

QString TPackageFixture::Write(const QString &AName, const QByteArray &AData)
{
    QFile file(FDir.filePath(AName));
    if (!file.open(QIODevice::WriteOnly) || file.write(AData) != AData.size())
        return {};
    return file.fileName();
}

QByteArray EncodedImage(QSize ASize, QColor AColour, const char *AFormat)
{
    QImage image(ASize, QImage::Format_ARGB32);
    image.fill(AColour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, AFormat);
    return data;
}

bool IsTransparent(const QImage &AImage)
{
    const QImage argb = AImage.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) != 0)
                return false;
    return true;
}
