#pragma once

#include "SkinStyle.h"

// The command glyphs of the skin. Each draws into a 32 x 32 box at the
// painter's origin with the given ink; the caller places and scales the box.
namespace Glyph {

using TDraw = void (*)(QPainter &, const TInk &);

void Load(QPainter &P, const TInk &I);
void Capture(QPainter &P, const TInk &I);
void Record(QPainter &P, const TInk &I);
void Stop(QPainter &P, const TInk &I);
void AutoFocus(QPainter &P, const TInk &I);
void FullScreenOn(QPainter &P, const TInk &I);
void FullScreenOff(QPainter &P, const TInk &I);
void InvertColor(QPainter &P, const TInk &I);
void Grayscale(QPainter &P, const TInk &I);
void FlipVert(QPainter &P, const TInk &I);
void FlipHorz(QPainter &P, const TInk &I);
void Rotate(QPainter &P, const TInk &I);
void Resolution(QPainter &P, const TInk &I);
void ZoomIn(QPainter &P, const TInk &I);
void ZoomOut(QPainter &P, const TInk &I);
void Back(QPainter &P, const TInk &I);
void Camera(QPainter &P, const TInk &I);
void Setting(QPainter &P, const TInk &I);
void Ratio4x3(QPainter &P, const TInk &I);
void Ratio16x9(QPainter &P, const TInk &I);

void Save(QPainter &P, const TInk &I);
void Undo(QPainter &P, const TInk &I);
void Redo(QPainter &P, const TInk &I);
void PenOption(QPainter &P, const TInk &I);
void EraserTool(QPainter &P, const TInk &I);
void Shape(QPainter &P, const TInk &I);
void Return(QPainter &P, const TInk &I);
void Move(QPainter &P, const TInk &I);
void Eraser(QPainter &P, const TInk &I);
void EraserAll(QPainter &P, const TInk &I);
void BlackBoard(QPainter &P, const TInk &I);
void GreenBoard(QPainter &P, const TInk &I);
void WhiteBoard(QPainter &P, const TInk &I);
void Line(QPainter &P, const TInk &I);
void Rectangle(QPainter &P, const TInk &I);
void Ellipse(QPainter &P, const TInk &I);

// A pen or a marker whose colour parts are drawn in AColour.
void Pen(QPainter &P, const TInk &I, const QColor &AColour);
void Marker(QPainter &P, const TInk &I, const QColor &AColour);

} // namespace Glyph
