// skin_render: draws the skin of the menu bar and makes its contact sheet.
//
//   skin_render images <folder>          every image at 1x and 2x as PNG files in
//                                        <folder>/1x and <folder>/2x, and
//                                        <folder>/Resource.qrc listing them
//   skin_render sheet <package> <png>    the contact sheet of a packed skin
#include "ContactSheet.h"
#include "SkinCatalogue.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QResource>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>

namespace {

int Fail(const QString &AText)
{
    std::fprintf(stderr, "skin_render: %s\n", qPrintable(AText));
    return 1;
}

QImage Render(const TSkinImage &AImage, TButtonState AState, int AScale)
{
    QImage image(AImage.Size * AScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(AScale, AScale);
    AImage.Paint(painter, AState);
    painter.end();
    return image;
}

// Writes a file only when its content changed, so that the package is not
// rebuilt for nothing and time stamps stay meaningful.
bool WriteIfChanged(const QString &APath, const QByteArray &AData)
{
    QFile old(APath);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == AData)
        return true;
    QSaveFile file(APath);
    return file.open(QIODevice::WriteOnly) && file.write(AData) == AData.size() && file.commit();
}

QByteArray EncodePng(const QImage &AImage)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    AImage.save(&buffer, "PNG");
    return data;
}

int RenderImages(const QString &AFolder)
{
    const QDir out(AFolder);
    if (!out.mkpath(QStringLiteral("1x")) || !out.mkpath(QStringLiteral("2x")))
        return Fail(QStringLiteral("cannot create %1").arg(AFolder));

    QString qrc;
    QTextStream list(&qrc);
    list << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const TSkinImage &image : SkinCatalogue()) {
        const QStringList names = image.ResourceNames();
        for (int i = 0; i < names.size(); ++i) {
            const TButtonState state = image.ThreeState ? TButtonState(i) : TButtonState::Normal;
            for (const int scale : {1, 2}) {
                const QString file = QStringLiteral("%1x/%2.png").arg(scale).arg(names[i]);
                if (!WriteIfChanged(out.filePath(file), EncodePng(Render(image, state, scale))))
                    return Fail(QStringLiteral("cannot write %1").arg(out.filePath(file)));
                const QString alias = scale == 1 ? names[i] : QStringLiteral("2x/") + names[i];
                list << "  <file alias=\"" << alias << "\">" << file << "</file>\n";
            }
        }
    }
    list << "</qresource>\n</RCC>\n";
    list.flush();
    if (!WriteIfChanged(out.filePath(QStringLiteral("Resource.qrc")), qrc.toUtf8()))
        return Fail(QStringLiteral("cannot write the resource list in %1").arg(AFolder));
    return 0;
}

int MakeSheet(const QString &APackage, const QString &APng)
{
    const QString root = QStringLiteral("/contactsheet");
    if (!QResource::registerResource(APackage, root))
        return Fail(QStringLiteral("cannot read the package %1").arg(APackage));
    QStringList missing;
    const QImage sheet =
        MakeContactSheet(SkinCatalogue(), QStringLiteral(":") + root + u'/', missing);
    if (!sheet.save(APng, "PNG"))
        return Fail(QStringLiteral("cannot write %1").arg(APng));
    for (const QString &name : missing)
        Fail(QStringLiteral("missing from the package: %1").arg(name));
    return missing.isEmpty() ? 0 : 1;
}

// Qt warns that no runtime folder is set, which does not matter to a build tool.
void QuietHandler(QtMsgType AType, const QMessageLogContext &, const QString &AText)
{
    if (AType != QtDebugMsg && !AText.startsWith(QLatin1String("QStandardPaths:")))
        std::fprintf(stderr, "skin_render: %s\n", qPrintable(AText));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(QuietHandler);
    // Text outlines need the font database, which needs a GUI application;
    // the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();

    QString error;
    if (!LoadSkinFonts(error))
        return Fail(error);
    if (args.size() == 3 && args[1] == QLatin1String("images"))
        return RenderImages(args[2]);
    if (args.size() == 4 && args[1] == QLatin1String("sheet"))
        return MakeSheet(args[2], args[3]);
    return Fail(QStringLiteral("usage: skin_render images <folder> | sheet <package> <png>"));
}
