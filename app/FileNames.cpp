#include "app/FileNames.h"

#include "support/Common.h"
#include "support/Config.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <stdexcept>

QString FileNameStamp(const QDateTime &ATime)
{
    return ATime.toString(QStringLiteral("yyyy_MM_dd_ss_mm"));
}

QString UniqueStampedFileName(const QString &AFolder, const QDateTime &ATime,
                              const QString &AExtension)
{
    QDir().mkpath(AFolder);
    const QString base = AFolder + u'/' + FileNameStamp(ATime);
    QString name = base + AExtension;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + u'_' + QString::number(n) + AExtension;
    return name;
}

namespace {

QString Folder(const QString &AConfigured, const QString &ADefault)
{
    return AConfigured.isEmpty() ? ADefault : AConfigured;
}

} // namespace

QString GetMovieFileName()
{
    const QString folder = Config ? Folder(Config->PathMovie, Config->DefaultPathMovie())
                                  : PathData + QStringLiteral("/Movie");
    return UniqueStampedFileName(folder, QDateTime::currentDateTime(), QStringLiteral(".mp4"));
}

QString GetImageFileName()
{
    const QString folder = Config ? Folder(Config->PathImage, Config->DefaultPathImage())
                                  : PathData + QStringLiteral("/Image");
    return UniqueStampedFileName(folder, QDateTime::currentDateTime(), QStringLiteral(".jpg"));
}

QString GetCaptureTempFileName()
{
    return PathTemp + QStringLiteral("/Capture.Bmp");
}

QString GetRotateTempFileName()
{
    return PathTemp + QStringLiteral("/Rotate.Bmp");
}

uint32_t HexToColor(const QString &AText)
{
    auto isHex = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    // The alpha digits at 2-3 are ignored; red, green and blue stand at 4-5,
    // 6-7 and 8-9, counting the number sign as 1.
    if (AText.size() != 9 || !std::all_of(AText.begin() + 3, AText.end(), isHex))
        throw std::invalid_argument("not a colour of the form #AARRGGBB: \"" + AText.toStdString() +
                                    '"');
    const uint32_t rgb = AText.mid(3).toUInt(nullptr, 16);
    return ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | (rgb >> 16);
}
