#pragma once

// The picture effects of the frame grabber, applied in place to a 24-bit BGR
// frame stored top-down with a row stride.

#include "capture/devices/CaptureTypes.h"

#include <cstddef>
#include <cstdint>

// Layout of one 24-bit frame: Height rows of Width pixels (blue, green, red),
// row y starting at Data + y * Stride. Stride >= Width * 3.
struct TFrameLayout
{
    std::uint8_t *Data = nullptr;
    std::size_t Size = 0; // bytes available at Data
    int Width = 0;
    int Height = 0;
    int Stride = 0;

    // True when the layout describes a frame that lies wholly inside Size.
    bool IsValid() const;
};

// The effects, in the order they act on the picture: negative, grayscale,
// left-right mirror, top-bottom mirror, tint of TintRect (picture pixels
// counted from the top-left corner; Right and Bottom exclusive; clipped).
struct TPixelEffects
{
    bool Invert = false;
    bool Grayscale = false;
    bool FlipHorz = false;
    bool FlipVert = false;
    bool Tint = false;
    TRect TintRect;

    bool Any() const { return Invert || Grayscale || FlipHorz || FlipVert || Tint; }
};

// Applies every active effect in one pass over the frame, without a copy of
// it. Does nothing when no effect is active or the layout is not valid.
// Returns true when the frame was changed.
bool ApplyPixelEffects(const TFrameLayout &frame, const TPixelEffects &effects);

// The tint of one colour byte: 0.6 times the value, rounded to the nearest
// integer (blue 200 -> 120, green 101 -> 61).
constexpr std::uint8_t TintByte(std::uint8_t v)
{
    return std::uint8_t((v * 6 + 5) / 10);
}

// The gray value of a pixel: (3 * red + 4 * green + blue) / 8, rounded down.
constexpr std::uint8_t GrayValue(std::uint8_t b, std::uint8_t g, std::uint8_t r)
{
    return std::uint8_t((3 * r + 4 * g + b) >> 3);
}
