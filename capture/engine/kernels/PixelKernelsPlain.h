#pragma once

// Plain row kernels; also the tails of the vector kernels. Internal to each
// file that includes it, so every copy is compiled for that file's processor.

#include "capture/engine/kernels/PixelKernels.h"

namespace {

using u8 = std::uint8_t;

// A pshufb control or byte mask of 16 bytes.
struct Mask
{
    u8 b[16];
};

// 0.6 * v rounded to the nearest integer (no ties occur).
inline u8 TintValue(u8 v)
{
    return u8((v * 6 + 5) / 10);
}

template <bool Neg>
void ReduceGrayPlain(const u8 *s, u8 *g, int from, int to)
{
    for (int x = from; x < to; ++x) {
        const u8 *p = s + 3 * x;
        unsigned sum = 3u * p[2] + 4u * p[1] + p[0];
        if constexpr (Neg)
            sum = 2040u - sum;
        g[x] = u8(sum >> 3);
    }
}

template <bool Rev, bool Tinted>
void ExpandGrayPlain(const u8 *g, u8 *d, int w, int from, int to)
{
    for (int x = from; x < to; ++x) {
        const u8 v = Rev ? g[w - 1 - x] : g[x];
        const u8 t = Tinted ? TintValue(v) : v;
        d[3 * x] = t;
        d[3 * x + 1] = t;
        d[3 * x + 2] = v;
    }
}

template <bool Neg>
void ReversePlain(const u8 *s, u8 *d, int w, int from, int to)
{
    for (int x = from; x < to; ++x) {
        const u8 *p = s + 3 * (w - 1 - x);
        d[3 * x] = Neg ? u8(~p[0]) : p[0];
        d[3 * x + 1] = Neg ? u8(~p[1]) : p[1];
        d[3 * x + 2] = Neg ? u8(~p[2]) : p[2];
    }
}

inline void TintPlain(u8 *row, int from, int to)
{
    for (int x = from; x < to; ++x) {
        row[3 * x] = TintValue(row[3 * x]);
        row[3 * x + 1] = TintValue(row[3 * x + 1]);
    }
}

} // namespace
