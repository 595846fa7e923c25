#include "capture/PixelEffects.h"

#include "capture/PixelKernels.h"
#include "capture/PixelKernelsPlain.h"

#include <algorithm>
#include <cstring>
#include <vector>

// How the effects are composed: the picture at (x, y) after the mirrors is
// the negative/gray of the source pixel at (FlipHorz ? W-1-x : x,
// FlipVert ? H-1-y : y). The frame is walked once, by rows, or by pairs of
// rows (y, H-1-y) when mirroring top to bottom; each row (pair) is read before
// it is written. A gray picture is carried as one byte per pixel in a row
// buffer; a left-right mirror without gray goes through one row buffer. The
// tint acts on each finished row at its final position.

bool TFrameLayout::IsValid() const
{
    if (!Data || Width <= 0 || Height <= 0 || Stride < Width * 3)
        return false;
    const std::size_t rowBytes = std::size_t(Width) * 3;
    const std::size_t needed = std::size_t(Height - 1) * std::size_t(Stride) + rowBytes;
    return needed <= Size;
}

namespace {

constexpr TRowKernels PlainKernels = {
    {[](const u8 *s, u8 *g, int w) { ReduceGrayPlain<false>(s, g, 0, w); },
     [](const u8 *s, u8 *g, int w) {
         ReduceGrayPlain<true>(s, g, 0, w);
     }},
    {{ExpandGrayPlain<false, false>, ExpandGrayPlain<false, true>},
     {ExpandGrayPlain<true, false>, ExpandGrayPlain<true, true>}},
    {[](const u8 *s, u8 *d, int w) { ReversePlain<false>(s, d, w, 0, w); },
     [](const u8 *s, u8 *d, int w) {
         ReversePlain<true>(s, d, w, 0, w);
     }},
    TintPlain,
};

const TRowKernels &BestKernels()
{
#ifdef OVILEN_PIXEL_SIMD
    if (__builtin_cpu_supports("avx2"))
        return Avx2RowKernels();
    if (__builtin_cpu_supports("ssse3"))
        return Ssse3RowKernels();
#endif
    return PlainKernels;
}

void Negate(u8 *p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        p[i] = u8(~p[i]);
}

template <bool Neg>
void SwapRows(u8 *a, u8 *b, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const u8 t = a[i];
        a[i] = Neg ? u8(~b[i]) : b[i];
        b[i] = Neg ? u8(~t) : t;
    }
}

// Row buffers of the streaming thread that runs the effects: one row of
// pixels, or two rows of gray values.
std::vector<u8> &Scratch()
{
    thread_local std::vector<u8> buffer;
    return buffer;
}

struct TintSpan
{
    bool Active = false;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Covers(int y) const { return Active && y >= Top && y < Bottom; }
};

} // namespace

const TRowKernels &PlainRowKernels()
{
    return PlainKernels;
}

bool ApplyPixelEffects(const TFrameLayout &frame, const TPixelEffects &effects)
{
    return ApplyPixelEffectsWith(BestKernels(), frame, effects);
}

bool ApplyPixelEffectsWith(const TRowKernels &k, const TFrameLayout &frame,
                           const TPixelEffects &effects)
{
    if (!effects.Any() || !frame.IsValid())
        return false;
    const int w = frame.Width;
    const int h = frame.Height;
    const std::size_t n = std::size_t(w) * 3;

    TintSpan tint;
    if (effects.Tint) {
        tint.Left = std::max(effects.TintRect.Left, 0);
        tint.Top = std::max(effects.TintRect.Top, 0);
        tint.Right = std::min(effects.TintRect.Right, w);
        tint.Bottom = std::min(effects.TintRect.Bottom, h);
        tint.Active = tint.Left < tint.Right && tint.Top < tint.Bottom;
    }
    const bool neg = effects.Invert, gray = effects.Grayscale, mirror = effects.FlipHorz;
    if (!neg && !gray && !mirror && !effects.FlipVert && !tint.Active)
        return false;

    auto &scratch = Scratch();
    if (scratch.size() < n)
        scratch.resize(n);
    u8 *const buf = scratch.data();
    const auto row = [&](int y) {
        return frame.Data + std::size_t(y) * std::size_t(frame.Stride);
    };

    // Writes the gray row g into row y, tinted where the selection covers it.
    const auto expand = [&](const u8 *g, int y) {
        u8 *d = row(y);
        if (!tint.Covers(y)) {
            k.ExpandGray[mirror][0](g, d, w, 0, w);
            return;
        }
        k.ExpandGray[mirror][0](g, d, w, 0, tint.Left);
        k.ExpandGray[mirror][1](g, d, w, tint.Left, tint.Right);
        k.ExpandGray[mirror][0](g, d, w, tint.Right, w);
    };
    const auto finish = [&](int y) {
        if (tint.Covers(y))
            k.Tint(row(y), tint.Left, tint.Right);
    };

    // Row a takes the picture of row b (a == b: of itself); b takes a's.
    const auto process = [&](int a, int b) {
        u8 *ra = row(a);
        u8 *rb = row(b);
        if (gray) {
            k.ReduceGray[neg](ra, buf, w);
            if (a != b) {
                k.ReduceGray[neg](rb, buf + w, w);
                expand(buf + w, a);
            }
            expand(buf, b);
            return;
        }
        if (mirror) {
            k.Reverse[neg](ra, buf, w);
            if (a != b)
                k.Reverse[neg](rb, ra, w);
            std::memcpy(rb, buf, n);
        } else if (a != b) {
            neg ? SwapRows<true>(ra, rb, n) : SwapRows<false>(ra, rb, n);
        } else if (neg) {
            Negate(ra, n);
        }
        finish(a);
        if (a != b)
            finish(b);
    };

    if (effects.FlipVert) {
        for (int top = 0, bottom = h - 1; top <= bottom; ++top, --bottom)
            process(top, bottom);
    } else {
        for (int y = 0; y < h; ++y)
            process(y, y);
    }
    return true;
}
