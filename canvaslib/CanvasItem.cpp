#include "canvaslib/CanvasItem.h"

#include <QIODevice>
#include <algorithm>
#include <cmath>

namespace karvo {

namespace {

// Limits a reader accepts; far beyond anything a drawing holds.
constexpr uint32_t MaxPointsPerItem = 4'000'000;
constexpr float MaxCoordinate = 1.0e6f;
constexpr float MaxWidth = 1000.0f;

// Largest width factor a stylus can give (see StrokeRenderer).
constexpr float MaxPressureFactor = 1.4f;

bool finite(float AValue)
{
    return std::isfinite(AValue);
}

} // namespace

bool isStrokeKind(ItemKind AKind)
{
    return AKind == ItemKind::Pen || AKind == ItemKind::Marker || AKind == ItemKind::Eraser;
}

bool isShapeKind(ItemKind AKind)
{
    return AKind == ItemKind::Rectangle || AKind == ItemKind::Ellipse || AKind == ItemKind::Line;
}

bool isValidItemKind(int AValue)
{
    const auto kind = static_cast<ItemKind>(AValue);
    return AValue >= 0 && AValue <= 255 && (isStrokeKind(kind) || isShapeKind(kind));
}

float markerWidth(float AThickness)
{
    return std::max(AThickness * 3.0f, 12.0f);
}

float eraserWidth(float AThickness)
{
    return std::max(AThickness * 4.0f, 24.0f);
}

QRect CanvasItem::bounds() const
{
    if (points.empty())
        return {};
    float left = points.front().x, right = left;
    float top = points.front().y, bottom = top;
    for (const StrokePoint &p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    float drawn = width;
    if (kind == ItemKind::Pen)
        drawn = width * MaxPressureFactor;
    else if (kind == ItemKind::Marker)
        drawn = markerWidth(width);
    else if (kind == ItemKind::Eraser)
        drawn = eraserWidth(width);
    const float margin = drawn / 2 + 2;
    return QRectF(QPointF(left - margin, top - margin), QPointF(right + margin, bottom + margin))
        .toAlignedRect();
}

void writeItem(QDataStream &AStream, const CanvasItem &AItem)
{
    AStream << static_cast<quint8>(AItem.kind) << quint32(AItem.color) << AItem.width
            << quint32(AItem.points.size());
    for (const StrokePoint &p : AItem.points)
        AStream << p.x << p.y << p.pressure << qint32(p.t);
}

bool readItem(QDataStream &AStream, CanvasItem &AItem)
{
    quint8 kind = 0;
    quint32 color = 0, count = 0;
    float width = 0;
    AStream >> kind >> color >> width >> count;
    const auto fail = [&AStream] {
        AStream.setStatus(QDataStream::ReadCorruptData);
        return false;
    };
    if (AStream.status() != QDataStream::Ok)
        return false;
    if (!isValidItemKind(kind) || !finite(width) || width <= 0 || width > MaxWidth || count == 0 ||
        count > MaxPointsPerItem)
        return fail();
    // Each point takes 16 bytes; refuse a count the rest of the data cannot hold.
    const QIODevice *device = AStream.device();
    if (device && !device->isSequential() && device->bytesAvailable() < qint64(count) * 16)
        return fail();
    AItem.kind = static_cast<ItemKind>(kind);
    AItem.color = color;
    AItem.width = width;
    AItem.points.resize(count);
    for (StrokePoint &p : AItem.points) {
        qint32 t = 0;
        AStream >> p.x >> p.y >> p.pressure >> t;
        p.t = t;
        if (!finite(p.x) || !finite(p.y) || !finite(p.pressure) || std::abs(p.x) > MaxCoordinate ||
            std::abs(p.y) > MaxCoordinate || p.pressure > 1 || t < 0)
            return fail();
    }
    if (isShapeKind(AItem.kind) && count != 2)
        return fail();
    return AStream.status() == QDataStream::Ok;
}

void mirrorItem(CanvasItem &AItem, int ASize, bool AHorizontal)
{
    const auto size = static_cast<float>(ASize);
    for (StrokePoint &p : AItem.points) {
        if (AHorizontal)
            p.x = size - p.x;
        else
            p.y = size - p.y;
    }
}

} // namespace karvo
