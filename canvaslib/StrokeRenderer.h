#pragma once

#include "canvaslib/CanvasItem.h"

#include <QColor>
#include <QRect>

class QImage;
class QPainter;

namespace karvo {

// Draws annotations piece by piece.
//
// A freehand stroke through the points p0..pn is smoothed with quadratic
// curves through the midpoints of its segments, and cut into pieces that can
// be drawn as soon as the point that completes them arrives:
//   piece 0       a dot at p0 (drawn when the stroke begins),
//   piece i       for i = 1..n: the curve that ends at the midpoint of
//                 p(i-1) and p(i) (drawn when p(i) arrives),
//   piece n+1     the straight end from that midpoint to pn (drawn when the
//                 stroke ends; only when n >= 1).
// A shape is one piece. Drawing a finished item later (undo, loading a file,
// playback) runs exactly the same pieces in the same order, so it gives the
// same pixels as drawing it live.
namespace StrokeRenderer {

// Number of pieces of an item with its current points; a stroke that is
// still being drawn has no end piece yet.
int pieceCount(const CanvasItem &AItem, bool AFinished);

// Draws pieces [AFrom, ATo) of the item into a layer, clipped to AClip, and
// returns the rectangle of pixels that may have changed. Pens and shapes
// paint their colour; an eraser clears; a marker paints its opaque colour,
// which the caller then lays over the ink with MarkerOpacity.
QRect drawPieces(QImage &ALayer, const CanvasItem &AItem, int AFrom, int ATo, const QRect &AClip);

// Draws the whole item with an arbitrary painter (live shape preview);
// the painter's transform maps drawing pixels.
void drawItem(QPainter &APainter, const CanvasItem &AItem);

// 0x00BBGGRR to an opaque colour.
QColor toQColor(uint32_t AColor);

} // namespace StrokeRenderer
} // namespace karvo
