// Renders the program's scalable icon into the PNG sizes of the hicolor theme.
//
//   icon_render <icon.svg> <output-folder> <size>...
//
// Writes <output-folder>/<size>x<size>/<icon name>.png for each size, the icon
// name being the SVG's file name without its extension. The icon is shapes
// only, so no application object (and no display or font) is needed.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: icon_render <icon.svg> <output-folder> <size>...\n");
        return 2;
    }
    const QString svg = QString::fromLocal8Bit(argv[1]);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "icon_render: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString name = QFileInfo(svg).completeBaseName();
    const QDir out(QString::fromLocal8Bit(argv[2]));
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&ok);
        if (!ok || size < 8 || size > 1024) {
            std::fprintf(stderr, "icon_render: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        const QString folder = QStringLiteral("%1x%1").arg(size);
        const QString file = out.filePath(folder + u'/' + name + QStringLiteral(".png"));
        if (!out.mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "icon_render: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
