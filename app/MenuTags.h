#pragma once

// The main window's controls as typed values. Every menu button, tab and
// window button carries the integer of its value as its tag (the widgets
// keep integer tags); the window maps a clicked widget's tag back through
// the menu table (MenuTable.h), and the commands name the controls they
// change by these values, so a misspelt control does not compile.

#include <optional>
#include <variant>

// The preview menu's buttons. No button carries 11.
enum class TPreviewTag
{
    Load = 1,
    Capture = 2,
    Record = 3,
    AutoFocus = 4,
    FullScreen = 5,
    InvertColor = 6,
    GrayScale = 7,
    FlipVert = 8,
    FlipHorz = 9,
    Rotate = 10,
    Resolution = 12,
    ZoomIn = 13,
    ZoomOut = 14,
    Wide = 15,
    Back = 16,
    Setting = 17,
    Camera = 18,
};

// The drawing menu's buttons. No button carries 8.
enum class TDrawingTag
{
    Load = 1,
    Save = 2,
    Redo = 3,
    Undo = 4,
    PenOption = 5,
    EraserTool = 6,
    ShapeTool = 7,
    InvertColor = 9,
    Rotate = 10,
    FlipHorz = 11,
    FlipVert = 12,
    Back = 13,
    Move = 14,
};

// The menu bar's tabs (tabPreview, tabDrawing).
enum class TTabTag
{
    Preview = 1,
    Drawing = 2,
};

// The window buttons (btnSystemMin, btnSystemMax, btnSystemClose).
enum class TSystemTag
{
    Min = 1,
    Max = 2,
    Close = 3,
};

// A button of either menu: its menu follows from the tag's type.
using TMenuButtonId = std::variant<TPreviewTag, TDrawingTag>;
// A control whose state the commands set: a menu button or a tab.
using TControlId = std::variant<TPreviewTag, TDrawingTag, TTabTag>;

// The menu button AControl names; nothing for a tab.
inline std::optional<TMenuButtonId> MenuButtonIdOf(TControlId AControl)
{
    if (const auto *tag = std::get_if<TPreviewTag>(&AControl))
        return *tag;
    if (const auto *tag = std::get_if<TDrawingTag>(&AControl))
        return *tag;
    return std::nullopt;
}
