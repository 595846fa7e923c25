#pragma once

// The four popups of the drawing menu, made together with the names, tags
// and tag texts of their controls: pen options, eraser (normal, all), shape
// (line, rectangle, ellipse) and board (black, white, green). They are
// popups of the window given, which owns them.

#include "scene/PenOptionPopup.h"
#include "scene/ToolPopup.h"

class TCustomResource;

// The tool popups' buttons as typed values; each button carries its value
// as its tag, and the popups report it back as that integer.
enum class TEraserItem
{
    Normal = 1,
    All = 2,
};
enum class TShapeItem
{
    Line = 1,
    Rectangle = 2,
    Ellipse = 3,
};
enum class TBoardItem
{
    Black = 1,
    White = 2,
    Green = 3,
};

struct TDrawingPopups
{
    explicit TDrawingPopups(QWidget *AWindow);

    // Every image of the four popups from the skin, at the screen density
    // ADevicePixelRatio.
    void LoadSkin(const TCustomResource &ASkin, qreal ADevicePixelRatio = 1.0);

    TPenOptionPopup &PenOption;
    TToolPopup &EraserTool;
    TToolPopup &ShapeTool;
    TToolPopup &BoardTool;
};
