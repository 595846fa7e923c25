#include "canvaslib/StrokeRenderer.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace karvo::StrokeRenderer {

namespace {

// Width factor of a stylus pressure: a light touch draws thin, a firm one
// up to 1.4 times the thickness; without pressure the thickness itself.
float pressureFactor(float APressure)
{
    if (APressure < 0)
        return 1.0f;
    return 0.2f + 1.2f * std::clamp(APressure, 0.0f, 1.0f);
}

float drawnWidth(const CanvasItem &AItem, const StrokePoint &APoint)
{
    switch (AItem.kind) {
    case ItemKind::Pen:
        return AItem.width * pressureFactor(APoint.pressure);
    case ItemKind::Marker:
        return markerWidth(AItem.width);
    case ItemKind::Eraser:
        return eraserWidth(AItem.width);
    default:
        return AItem.width;
    }
}

QPointF mid(const StrokePoint &AFirst, const StrokePoint &ASecond)
{
    return {(AFirst.x + ASecond.x) / 2.0, (AFirst.y + ASecond.y) / 2.0};
}

struct Piece
{
    QPainterPath path;
    float width = 1;
    bool dot = false;
    Qt::PenJoinStyle join = Qt::RoundJoin;
};

Piece makePiece(const CanvasItem &AItem, int AIndex)
{
    const auto &pts = AItem.points;
    Piece piece;
    if (isShapeKind(AItem.kind)) {
        const QRectF rect = QRectF(pts[0].pos(), pts[1].pos()).normalized();
        piece.width = AItem.width;
        if (AItem.kind == ItemKind::Rectangle) {
            piece.path.addRect(rect);
            piece.join = Qt::MiterJoin;
        } else if (AItem.kind == ItemKind::Ellipse) {
            piece.path.addEllipse(rect);
        } else {
            piece.path.moveTo(pts[0].pos());
            piece.path.lineTo(pts[1].pos());
        }
        return piece;
    }
    const int n = static_cast<int>(pts.size()) - 1;
    if (AIndex == 0) {
        piece.dot = true;
        piece.width = drawnWidth(AItem, pts[0]);
        const double r = piece.width / 2.0;
        piece.path.addEllipse(pts[0].pos(), r, r);
    } else if (AIndex == 1) {
        piece.width = drawnWidth(AItem, pts[0]);
        piece.path.moveTo(pts[0].pos());
        piece.path.lineTo(mid(pts[0], pts[1]));
    } else if (AIndex <= n) {
        const StrokePoint &a = pts[AIndex - 2], &b = pts[AIndex - 1], &c = pts[AIndex];
        piece.width = drawnWidth(AItem, b);
        piece.path.moveTo(mid(a, b));
        piece.path.quadTo(b.pos(), mid(b, c));
    } else {
        piece.width = drawnWidth(AItem, pts[n]);
        piece.path.moveTo(mid(pts[n - 1], pts[n]));
        piece.path.lineTo(pts[n].pos());
    }
    return piece;
}

void setupPainter(QPainter &APainter, const CanvasItem &AItem)
{
    APainter.setRenderHint(QPainter::Antialiasing);
    if (AItem.kind == ItemKind::Eraser)
        APainter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
}

QColor pieceColor(const CanvasItem &AItem)
{
    return AItem.kind == ItemKind::Eraser ? QColor(Qt::black) : toQColor(AItem.color);
}

QRectF paintPiece(QPainter &APainter, const Piece &APiece, const QColor &AColor)
{
    if (APiece.dot) {
        APainter.setPen(Qt::NoPen);
        APainter.setBrush(AColor);
        APainter.drawPath(APiece.path);
        return APiece.path.controlPointRect().adjusted(-1, -1, 1, 1);
    }
    APainter.setPen(QPen(AColor, APiece.width, Qt::SolidLine, Qt::RoundCap, APiece.join));
    APainter.setBrush(Qt::NoBrush);
    APainter.drawPath(APiece.path);
    const double margin = APiece.width / 2.0 + 2;
    return APiece.path.controlPointRect().adjusted(-margin, -margin, margin, margin);
}

} // namespace

QColor toQColor(uint32_t AColor)
{
    return QColor(AColor & 0xFF, (AColor >> 8) & 0xFF, (AColor >> 16) & 0xFF);
}

int pieceCount(const CanvasItem &AItem, bool AFinished)
{
    const int count = static_cast<int>(AItem.points.size());
    if (count == 0)
        return 0;
    if (isShapeKind(AItem.kind))
        return count == 2 ? 1 : 0;
    return count + ((AFinished && count >= 2) ? 1 : 0);
}

QRect drawPieces(QImage &ALayer, const CanvasItem &AItem, int AFrom, int ATo, const QRect &AClip)
{
    const QRect clip = AClip.isNull() ? ALayer.rect() : AClip & ALayer.rect();
    if (AFrom >= ATo || clip.isEmpty())
        return {};
    QPainter painter(&ALayer);
    painter.setClipRect(clip);
    setupPainter(painter, AItem);
    const QColor color = pieceColor(AItem);
    QRectF dirty;
    for (int i = AFrom; i < ATo; ++i)
        dirty |= paintPiece(painter, makePiece(AItem, i), color);
    return dirty.toAlignedRect() & clip;
}

void drawItem(QPainter &APainter, const CanvasItem &AItem)
{
    APainter.save();
    setupPainter(APainter, AItem);
    const QColor color = pieceColor(AItem);
    const int count = pieceCount(AItem, true);
    for (int i = 0; i < count; ++i)
        paintPiece(APainter, makePiece(AItem, i), color);
    APainter.restore();
}

} // namespace karvo::StrokeRenderer
