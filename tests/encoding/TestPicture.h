#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

// A moving picture with the detail of a page under a document camera (smooth shading,
// edges and sensor grain), so the encoder has real work and reaches its bit rate. Written
// the way the grabber stores frames: bottom-up BGR rows of bytesPerLine bytes.
inline void PaintTestPicture(uint8_t *bottomUp, int width, int height, int bytesPerLine, int frame)
{
    std::vector<int> across(static_cast<size_t>(width));
    std::vector<int> down(static_cast<size_t>(height));
    for (int x = 0; x < width; ++x)
        across[size_t(x)] = int(48 * std::sin((x + 6 * frame) * 0.05));
    for (int y = 0; y < height; ++y)
        down[size_t(y)] = int(48 * std::cos((y - 4 * frame) * 0.04));
    uint32_t noise = 0x9E3779B9u * uint32_t(frame + 1);
    // Rows in picture order, the bottom row stored first.
    for (int y = 0; y < height; ++y) {
        uint8_t *row = bottomUp + size_t(height - 1 - y) * size_t(bytesPerLine);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 29) - 4;
            const int base = 128 + across[size_t(x)] + down[size_t(y)];
            const int ink = ((x / 24 + y / 32 + frame / 4) % 7 == 0) ? -90 : 0;
            row[3 * x + 0] = uint8_t(std::clamp(base + grain + ink, 0, 255));
            row[3 * x + 1] =
                uint8_t(std::clamp(((x + y + 2 * frame) & 0xff) / 2 + 64 + grain + ink, 0, 255));
            row[3 * x + 2] =
                uint8_t(std::clamp(base / 2 + (((x ^ y) + frame) & 0x3f) + ink, 0, 255));
        }
    }
}
