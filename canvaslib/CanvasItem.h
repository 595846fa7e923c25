#pragma once

#include "canvaslib/KARVOCanvas.h"

#include <QDataStream>
#include <QRect>
#include <cstdint>
#include <vector>

namespace karvo {

// What an annotation is; the values are the pen-tool numbers that draw it
// (stored in drawings and stroke recordings as they are).
enum class ItemKind : uint8_t
{
    Pen = KARVO_TOOL_PEN,
    Marker = KARVO_TOOL_MARKER,
    Eraser = KARVO_TOOL_ERASER,
    Rectangle = KARVO_TOOL_RECTANGLE,
    Ellipse = KARVO_TOOL_ELLIPSE,
    Line = KARVO_TOOL_LINE,
};

bool isStrokeKind(ItemKind AKind);
bool isShapeKind(ItemKind AKind);
bool isValidItemKind(int AValue);

// One sampled point of a stroke, in drawing pixels. Pressure is 0..1 where a
// stylus reports it and negative where it does not (mouse, touch). Time is in
// milliseconds since the stroke began.
struct StrokePoint
{
    float x = 0;
    float y = 0;
    float pressure = -1;
    int32_t t = 0;

    QPointF pos() const { return {x, y}; }
    bool operator==(const StrokePoint &) const = default;
};

// One annotation as a vector: a freehand stroke (pen, marker, eraser) with
// its sampled points, or a shape spanned by two points. Colours are
// 0x00BBGGRR; the width is the pen thickness in drawing pixels.
struct CanvasItem
{
    ItemKind kind = ItemKind::Pen;
    uint32_t color = 0;
    float width = 1;
    std::vector<StrokePoint> points;

    // The pixels the item can touch.
    QRect bounds() const;
    bool operator==(const CanvasItem &) const = default;
};

// Widths actually drawn for each tool from the pen thickness.
float markerWidth(float AThickness);
float eraserWidth(float AThickness);
// Opacity of a marker stroke over what lies beneath it.
constexpr double MarkerOpacity = 0.40;

// Serialisation shared by the document file and the stroke recording. The
// reader checks every field and sets the stream's status to ReadCorruptData
// on anything out of range.
void writeItem(QDataStream &AStream, const CanvasItem &AItem);
bool readItem(QDataStream &AStream, CanvasItem &AItem);

// Mirror an item inside a drawing of the given width or height.
void mirrorItem(CanvasItem &AItem, int ASize, bool AHorizontal);

} // namespace karvo
