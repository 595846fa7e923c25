#pragma once

// The rules of the drawing menu that need no window and no canvas: colour
// texts, the pen-option button's images, thicknesses, the rotation cycle,
// the load filter and the fitting of a loaded picture.

#include "app/DrawingView.h"
#include "scene/PenOptionPopup.h"

#include <QSize>
#include <QString>
#include <cstdint>

// A canvas colour (red in the low byte) as the toolkit writes a colour:
// "#FF" and red, green, blue in upper-case hexadecimal ("#FFDB214C").
QString PenColorText(uint32_t AColor);

// The base name of the pen-option button's images for the tool family and
// colour text: "RES_DRAWING_MENU_PEN_" or "RES_DRAWING_MENU_MARKER_", the
// colour word of the first swatch whose colour text equals AColorText, and
// "_" ("RES_DRAWING_MENU_PEN_Red_"). Empty for the move tool or a colour of
// no swatch: the button keeps its images then.
QString PenOptionImageBase(TCustomPenType AType, const QString &AColorText);

// The thickness of a width frame (PenWidth1 to PenWidth5: 3, 5, 8, 10, 15),
// 0 for a value of no frame.
int PenWidthOf(TPenWidthItem AItem);
// The index (0 to 4) of the width frame of AValue; -1 for other values.
int WidthFrameIndex(int AValue);

// The drawing's rotation after one more quarter turn: 0, 90, 180, 270, 0.
int NextRotationAngle(int AAngle);

// The filter of the load dialog.
QString LoadPictureFilter();

// The size in which a loaded picture is put on the canvas: its own size when
// it fits within ABounds, otherwise scaled down with its proportions to fit.
QSize FittedPictureSize(QSize APicture, QSize ABounds);
