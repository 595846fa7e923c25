#pragma once

#include <QImage>
#include <QPainterPath>

// The vector glyphs and small pictures that come with the window itself
// rather than from the skin.

// Window-button glyphs in their own drawing units (stretched into their boxes).
QPainterPath MaximiseGlyph();
QPainterPath RestoreGlyph();
QPainterPath MinimiseGlyph();
QPainterPath CloseGlyph();

// The program icon of the menu bar (21 × 21 logical pixels, drawn at twice
// that density).
QImage ProgramIcon();
// The program's logo for the information form, ASize × ASize pixels.
QImage ProgramLogo(int ASize);

// Status-strip icons (outlines, 20 × 20 boxes).
QPainterPath ResolutionIconPath();
QPainterPath ZoomIconPath();
