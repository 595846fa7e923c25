#pragma once

// Hand-over of a grabbed frame to the recording's frame input.

#include <cstddef>
#include <cstdint>

// A grabbed frame: 24-bit BGR, top row first, Stride bytes per row.
struct TGrabbedFrame
{
    const std::uint8_t *Data = nullptr;
    std::size_t Length = 0;
    int Width = 0;
    int Height = 0;
    int Stride = 0;
};

// Copies a grabbed frame into a frame input's buffer: a bottom-up picture of
// width x height, bytesPerLine bytes per row (the row padding and the rows the
// frame does not cover keep their bytes). Rows are copied one by one, so any
// width works, whatever padding either side has.
void CopyGrabbedFrame(const TGrabbedFrame &from, std::uint8_t *to, int width, int height,
                      int bytesPerLine);
