#pragma once

#include "app/MainView.h" // TCustomPreviewType

#include <cstdint>

// The main window's state, each value one byte.

enum TCustomMenuType : std::uint8_t
{
    cmtNone,
    cmtPreview,
    cmtDrawing,
};

enum TCustomMenuAlign : std::uint8_t
{
    cmaNone,
    cmaTop,
    cmaBottom,
};

enum TCustomPenType : std::uint8_t
{
    cptPen,
    cptMarker,
    cptMove,
};

enum TCustomWindowState : std::uint8_t
{
    cwsNormal,
    cwsMax,
};
