#pragma once

// A plain reference of the grabber's effects for the tests.

#include "capture/engine/PixelEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// The algorithm step by step, each effect over the whole picture with a work
// copy, exactly as written: the reference the fast kernels must match.
inline void ReferenceEffects(std::uint8_t *data, int W, int H, int Stride, const TPixelEffects &fx)
{
    using u8 = std::uint8_t;
    const std::size_t size = std::size_t(Stride) * std::size_t(H);
    std::vector<u8> B(data, data + size);
    const auto px = [&](std::vector<u8> &b, int x, int y) {
        return &b[std::size_t(y) * std::size_t(Stride) + std::size_t(x) * 3];
    };
    if (fx.Invert)
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < 3; ++c)
                    px(B, x, y)[c] = u8(255 - px(B, x, y)[c]);
    if (fx.Grayscale)
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                u8 *p = px(B, x, y);
                const int gray = (3 * p[2] + 4 * p[1] + p[0]) / 8;
                p[0] = p[1] = p[2] = u8(gray);
            }
    if (fx.FlipHorz) {
        std::vector<u8> T = B;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < 3; ++c)
                    px(T, W - 1 - x, y)[c] = px(B, x, y)[c];
        B = T;
    }
    if (fx.FlipVert) {
        std::vector<u8> T = B;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < 3; ++c)
                    px(T, x, H - 1 - y)[c] = px(B, x, y)[c];
        B = T;
    }
    if (fx.Tint)
        for (int y = std::max(fx.TintRect.Top, 0); y < std::min(fx.TintRect.Bottom, H); ++y)
            for (int x = std::max(fx.TintRect.Left, 0); x < std::min(fx.TintRect.Right, W); ++x) {
                u8 *p = px(B, x, y);
                p[0] = u8(std::lround(p[0] * 0.6));
                p[1] = u8(std::lround(p[1] * 0.6));
            }
    std::copy(B.begin(), B.end(), data);
}
