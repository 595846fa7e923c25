#include "capture/engine/RecordFrameCopy.h"

#include <algorithm>
#include <cstring>

void CopyGrabbedFrame(const TGrabbedFrame &from, std::uint8_t *to, int width, int height,
                      int bytesPerLine)
{
    if (!from.Data || !to || from.Stride <= 0 || width <= 0 || height <= 0)
        return;
    const std::size_t rowBytes =
        std::size_t(std::min({from.Width, width, bytesPerLine / 3, from.Stride / 3})) * 3;
    const int rows = std::min(from.Height, height);
    for (int y = 0; y < rows; ++y) {
        const std::size_t offset = std::size_t(y) * std::size_t(from.Stride);
        if (offset + rowBytes > from.Length)
            break; // a short buffer: the rest keeps the previous picture
        std::memcpy(to + std::size_t(height - 1 - y) * std::size_t(bytesPerLine),
                    from.Data + offset, rowBytes);
    }
}
