#include "app/PreviewRules.h"

#include "capture/component/CustomVideoCap.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

const QString PictureExtensions = QStringLiteral("*.PNG;*.JPG;*.JPEG;*.BMP;*.GIF");
const QString MovieExtensions =
    QStringLiteral("*.3GP;*.ASF;*.AVI;*.AVM;*.AVS;*.DAT;*.FLV;*.MKV;*.MOV;*.MP4;*.MPEG;*.MPG;"
                   "*.NSV;*.OGM;*.RM;*.RMVB;*.TP;*.TS;*.VOB;*.WMV");

// Whether ".EXT" is one of the "*.A;*.B" patterns, as a whole.
bool ExtensionIn(const QString &AExtension, const QString &APatterns)
{
    const QStringList patterns = APatterns.split(u';', Qt::SkipEmptyParts);
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const QString &p) { return p.mid(1) == AExtension; });
}

} // namespace

QString ZoomText(double AZoom)
{
    const double percent = AZoom * 100.0;
    double whole = std::floor(percent);
    const double fraction = percent - whole;
    // Zoom steps of 0.1 in float land a hair off the whole percent: within a
    // millionth counts as exact.
    constexpr double Eps = 1e-6;
    if (std::abs(fraction - 0.5) <= Eps)
        whole += std::fmod(whole, 2.0) != 0.0 ? 1.0 : 0.0;
    else if (fraction > 0.5)
        whole += 1.0;
    return QStringLiteral("%1%").arg(static_cast<long long>(whole));
}

QString RecordClockText(std::int64_t ATimeStamp)
{
    const std::int64_t s = std::max<std::int64_t>(ATimeStamp, 0) / 1000000;
    return QString::asprintf("%.2lld:%.2lld:%.2lld", static_cast<long long>(s / 3600),
                             static_cast<long long>((s % 3600) / 60),
                             static_cast<long long>(s % 60));
}

QString ResolutionText(const TResolutionInfo &AInfo)
{
    return SizeToText(AInfo.Width, AInfo.Height);
}

QString ResolutionFormatText(const TResolutionInfo &AInfo)
{
    return QString::asprintf("%dx%d %s", AInfo.Width, AInfo.Height, qPrintable(AInfo.Codec));
}

std::vector<TResolutionItem> ResolutionItems(const std::vector<TVideoSizeItem> &ASizes,
                                             int AUnrotatedWidth, int AUnrotatedHeight,
                                             const QString &ACodec)
{
    struct TEntry
    {
        QString Text;
        TResolutionInfo Info;
    };
    std::vector<TEntry> kept;
    for (const TVideoSizeItem &size : ASizes) {
        const TResolutionInfo info = ParseResolution(size.Text);
        if (info.Codec == QLatin1String("MJPG"))
            kept.push_back({size.Text, info});
    }
    std::stable_sort(kept.begin(), kept.end(), [](const TEntry &a, const TEntry &b) {
        return std::int64_t(a.Info.Width) + a.Info.Height >
               std::int64_t(b.Info.Width) + b.Info.Height;
    });
    const bool mjpegInUse = ACodec.contains(QLatin1String("MJPG"), Qt::CaseInsensitive);
    std::vector<TResolutionItem> items;
    items.reserve(kept.size());
    for (const TEntry &e : kept)
        items.push_back(
            {e.Text, SizeToText(e.Info.Width, e.Info.Height),
             mjpegInUse && e.Info.Width == AUnrotatedWidth && e.Info.Height == AUnrotatedHeight});
    return items;
}

TVideoRotationType NextRotation(TVideoRotationType ARotation)
{
    const int next = int(ARotation) + 1;
    return next > int(vrt270) ? vrtNone : TVideoRotationType(next);
}

double StepImageScale(double AScale, double AStep)
{
    const double stepped = std::round((AScale + AStep) * 10.0) / 10.0;
    if (!(stepped >= MinImageScale)) // a scale that is not a number too
        return MinImageScale;
    return std::min(stepped, MaxImageScale);
}

TLoadKind LoadKindOf(const QString &AFileName)
{
    const QFileInfo info(AFileName);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return TLoadKind::None;
    const QString extension = name.mid(dot).toUpper();
    if (ExtensionIn(extension, PictureExtensions))
        return TLoadKind::Picture;
    if (ExtensionIn(extension, MovieExtensions))
        return TLoadKind::Movie;
    return TLoadKind::None;
}

QString LoadDialogFilter()
{
    return QStringLiteral("Image|") + PictureExtensions + QStringLiteral("|Movie|") +
           MovieExtensions;
}

QString QtFileDialogFilter(const QString &AFilter)
{
    const QStringList parts = AFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            patterns << p.toUpper();
            if (p.toLower() != p.toUpper())
                patterns << p.toLower();
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters.join(QStringLiteral(";;"));
}
