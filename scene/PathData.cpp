#include "scene/PathData.h"

#include <QTransform>
#include <optional>

namespace {

class TPathReader
{
public:
    explicit TPathReader(const QString &AData)
        : FData(AData)
    {}

    std::optional<QChar> Command()
    {
        SkipSeparators();
        if (FPos < FData.size() && FData[FPos].isLetter())
            return FData[FPos++].toUpper();
        return std::nullopt;
    }

    std::optional<QPointF> Point()
    {
        const auto x = Number();
        const auto y = x ? Number() : std::nullopt;
        if (!y)
            return std::nullopt;
        return QPointF(*x, *y);
    }

private:
    void SkipSeparators()
    {
        while (FPos < FData.size() && (FData[FPos].isSpace() || FData[FPos] == u','))
            ++FPos;
    }

    std::optional<double> Number()
    {
        SkipSeparators();
        const qsizetype start = FPos;
        while (FPos < FData.size() && (FData[FPos].isDigit() || FData[FPos] == u'.' ||
                                       FData[FPos] == u'-' || FData[FPos] == u'+'))
            ++FPos;
        bool ok = false;
        const double value = FData.mid(start, FPos - start).toDouble(&ok);
        if (!ok)
            return std::nullopt;
        return value;
    }

    const QString &FData;
    qsizetype FPos = 0;
};

} // namespace

QPainterPath PathFromData(const QString &AData)
{
    QPainterPath path;
    TPathReader reader(AData);
    while (const auto command = reader.Command()) {
        if (*command == u'Z') {
            path.closeSubpath();
            continue;
        }
        if (*command != u'M' && *command != u'L')
            break;
        const auto point = reader.Point();
        if (!point)
            break;
        if (*command == u'M')
            path.moveTo(*point);
        else
            path.lineTo(*point);
    }
    return path;
}

QPainterPath StretchPath(const QPainterPath &APath, const QRectF &ABox)
{
    const QRectF bounds = APath.boundingRect();
    if (bounds.width() <= 0 || bounds.height() <= 0)
        return {};
    QTransform t;
    t.translate(ABox.left(), ABox.top());
    t.scale(ABox.width() / bounds.width(), ABox.height() / bounds.height());
    t.translate(-bounds.left(), -bounds.top());
    return t.map(APath);
}
