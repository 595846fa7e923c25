#include "app/MainGlyphs.h"

#include "scene/PathData.h"

#include <QLinearGradient>
#include <QPainter>

QPainterPath MaximiseGlyph()
{
    return PathFromData(QStringLiteral(
        "M 362.482,356.426 L 277.508,356.426 L 277.508,280.801 L 362.482,280.801 Z M "
        "355.399,349.551 L 355.399,294.551 L 284.587,294.551 L 284.587,349.551 Z"));
}

QPainterPath RestoreGlyph()
{
    return PathFromData(QStringLiteral(
        "M 362.482,328.926 L 341.236,328.926 L 341.236,356.426 L 277.508,356.426 L "
        "277.508,308.301 L 298.750,308.301 L 298.750,280.801 L 362.482,280.801 Z M "
        "355.399,322.051 L 355.399,294.551 L 305.830,294.551 L 305.830,308.301L 341.236,308.301 "
        "L 341.236,322.051 Z M 334.156,349.551 L 334.156,322.051L 284.587,322.051 L "
        "284.587,349.551 Z"));
}

QPainterPath MinimiseGlyph()
{
    return PathFromData(QStringLiteral(
        "M 348.319,356.426 L 291.667,356.426 L 291.667,342.676 L 348.319,342.676 Z"));
}

QPainterPath CloseGlyph()
{
    return PathFromData(QStringLiteral(
        "M 357.503,351.27 L 346.879,351.27 L 320.325,325.811 L 294.101,351.27 L 283.147,351.27 "
        "L 283.147,340.957 L 309.372,315.176 L 283.147,289.717 L 283.147,279.082 L "
        "294.101,279.082 L 320.325,304.541 L 346.879,279.082 L 357.503,279.082 L "
        "357.503,289.717 L 331.279,315.176 L 357.503,340.635 Z"));
}

namespace {

// A document camera over a page: a rounded blue tile, a white sheet, the
// camera's arm and head. Drawn in a 100 × 100 box.
void PaintLogo(QPainter &P)
{
    P.setRenderHint(QPainter::Antialiasing);
    QLinearGradient tile(0, 0, 0, 100);
    tile.setColorAt(0, QColor(0x3C, 0x8D, 0xDC));
    tile.setColorAt(1, QColor(0x1E, 0x4F, 0x9A));
    P.setPen(Qt::NoPen);
    P.setBrush(tile);
    P.drawRoundedRect(QRectF(2, 2, 96, 96), 22, 22);
    // The page.
    P.setBrush(QColor(0xFF, 0xFF, 0xFF));
    QPolygonF page;
    page << QPointF(20, 80) << QPointF(80, 80) << QPointF(72, 62) << QPointF(28, 62);
    P.drawPolygon(page);
    P.setBrush(QColor(0xFF, 0xC8, 0x3D));
    P.drawRect(QRectF(14, 80, 72, 6));
    // The arm and the head.
    QPen arm(QColor(0xF2, 0xF5, 0xFA), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    P.setPen(arm);
    P.drawLine(QPointF(74, 80), QPointF(66, 34));
    P.drawLine(QPointF(66, 34), QPointF(44, 24));
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(0xF2, 0xF5, 0xFA));
    P.drawRoundedRect(QRectF(26, 18, 26, 16), 5, 5);
    P.setBrush(QColor(0x1E, 0x4F, 0x9A));
    P.drawEllipse(QPointF(39, 34), 5, 5);
    // The light on the page.
    P.setBrush(QColor(255, 255, 255, 70));
    QPolygonF light;
    light << QPointF(34, 38) << QPointF(44, 38) << QPointF(70, 62) << QPointF(30, 62);
    P.drawPolygon(light);
}

QImage DrawnImage(int APixels, qreal ARatio)
{
    QImage image(APixels, APixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(APixels / 100.0, APixels / 100.0);
    PaintLogo(p);
    p.end();
    image.setDevicePixelRatio(ARatio);
    return image;
}

} // namespace

QImage ProgramIcon()
{
    return DrawnImage(42, 2.0);
}

QImage ProgramLogo(int ASize)
{
    return DrawnImage(ASize, 1.0);
}

QPainterPath ResolutionIconPath()
{
    // A screen on a foot.
    QPainterPath path;
    path.addRoundedRect(QRectF(1, 2, 18, 12), 1.5, 1.5);
    path.moveTo(7, 18);
    path.lineTo(13, 18);
    path.moveTo(10, 14);
    path.lineTo(10, 18);
    return path;
}

QPainterPath ZoomIconPath()
{
    // A magnifying glass.
    QPainterPath path;
    path.addEllipse(QPointF(8, 8), 6.5, 6.5);
    path.moveTo(12.8, 12.8);
    path.lineTo(19, 19);
    path.moveTo(5, 8);
    path.lineTo(11, 8);
    path.moveTo(8, 5);
    path.lineTo(8, 11);
    return path;
}
