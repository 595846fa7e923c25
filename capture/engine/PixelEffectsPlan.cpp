#include "capture/engine/PixelEffectsPlan.h"

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

using u8 = std::uint8_t;

namespace {

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

// Row buffers of the thread that runs the effects: one row of pixels, or
// two rows of gray values.
u8 *Scratch(std::size_t bytes)
{
    thread_local std::vector<u8> buffer;
    if (buffer.size() < bytes)
        buffer.resize(bytes);
    return buffer.data();
}

u8 *Row(const TFrameLayout &frame, int y)
{
    return frame.Data + std::size_t(y) * std::size_t(frame.Stride);
}

unsigned Switches(const TPixelEffects &fx)
{
    return (fx.Invert ? 1u : 0u) | (fx.Grayscale ? 2u : 0u) | (fx.FlipHorz ? 4u : 0u) |
           (fx.FlipVert ? 8u : 0u) | (fx.Tint ? 16u : 0u);
}

} // namespace

// The tint rectangle clipped to one frame.
struct TPixelEffectsPlan::TSpan
{
    bool Active = false;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Covers(int y) const { return Active && y >= Top && y < Bottom; }
};

TPixelEffectsPlan::TPixelEffectsPlan(const TRowKernels &k, const TPixelEffects &fx)
    : FSwitches(Switches(fx))
    , FFlipVert(fx.FlipVert)
    , FNegate(fx.Invert)
    , FTint(fx.Tint)
    , FReduceGray(k.ReduceGray[fx.Invert])
    , FExpandGray(k.ExpandGray[fx.FlipHorz][0])
    , FExpandTinted(k.ExpandGray[fx.FlipHorz][1])
    , FReverse(k.Reverse[fx.Invert])
    , FTintRow(k.Tint)
{
    if (fx.Grayscale)
        FPair = &TPixelEffectsPlan::GrayPair;
    else if (fx.FlipHorz)
        FPair = &TPixelEffectsPlan::MirrorPair;
    else if (fx.Invert || fx.FlipVert || fx.Tint)
        FPair = &TPixelEffectsPlan::PlainPair;
}

bool TPixelEffectsPlan::Serves(const TPixelEffects &effects) const
{
    return FSwitches == Switches(effects);
}

bool TPixelEffectsPlan::Run(const TFrameLayout &frame, const TRect &tintRect) const
{
    if (!FPair || !frame.IsValid())
        return false;
    const int w = frame.Width;
    const int h = frame.Height;

    TSpan tint;
    if (FTint) {
        tint.Left = std::max(tintRect.Left, 0);
        tint.Top = std::max(tintRect.Top, 0);
        tint.Right = std::min(tintRect.Right, w);
        tint.Bottom = std::min(tintRect.Bottom, h);
        tint.Active = tint.Left < tint.Right && tint.Top < tint.Bottom;
    }
    // A tint alone that covers nothing is no work.
    if (FPair == &TPixelEffectsPlan::PlainPair && !FNegate && !FFlipVert && !tint.Active)
        return false;

    u8 *const buf = Scratch(std::size_t(w) * 3);
    if (FFlipVert) {
        for (int top = 0, bottom = h - 1; top <= bottom; ++top, --bottom)
            (this->*FPair)(frame, tint, top, bottom, buf);
    } else {
        for (int y = 0; y < h; ++y)
            (this->*FPair)(frame, tint, y, y, buf);
    }
    return true;
}

// Row a takes the picture of row b (a == b: of itself); b takes a's.
void TPixelEffectsPlan::GrayPair(const TFrameLayout &frame, const TSpan &tint, int a, int b,
                                 u8 *buf) const
{
    const int w = frame.Width;
    // Writes the gray row g into row y, tinted where the rectangle covers it.
    const auto expand = [&](const u8 *g, int y) {
        u8 *d = Row(frame, y);
        if (!tint.Covers(y)) {
            FExpandGray(g, d, w, 0, w);
            return;
        }
        FExpandGray(g, d, w, 0, tint.Left);
        FExpandTinted(g, d, w, tint.Left, tint.Right);
        FExpandGray(g, d, w, tint.Right, w);
    };
    FReduceGray(Row(frame, a), buf, w);
    if (a != b) {
        FReduceGray(Row(frame, b), buf + w, w);
        expand(buf + w, a);
    }
    expand(buf, b);
}

void TPixelEffectsPlan::MirrorPair(const TFrameLayout &frame, const TSpan &tint, int a, int b,
                                   u8 *buf) const
{
    u8 *ra = Row(frame, a);
    u8 *rb = Row(frame, b);
    FReverse(ra, buf, frame.Width);
    if (a != b)
        FReverse(rb, ra, frame.Width);
    std::memcpy(rb, buf, std::size_t(frame.Width) * 3);
    FinishRow(frame, tint, a);
    if (a != b)
        FinishRow(frame, tint, b);
}

void TPixelEffectsPlan::PlainPair(const TFrameLayout &frame, const TSpan &tint, int a, int b,
                                  u8 *) const
{
    const std::size_t n = std::size_t(frame.Width) * 3;
    if (a != b)
        FNegate ? SwapRows<true>(Row(frame, a), Row(frame, b), n)
                : SwapRows<false>(Row(frame, a), Row(frame, b), n);
    else if (FNegate)
        Negate(Row(frame, a), n);
    FinishRow(frame, tint, a);
    if (a != b)
        FinishRow(frame, tint, b);
}

void TPixelEffectsPlan::FinishRow(const TFrameLayout &frame, const TSpan &tint, int y) const
{
    if (tint.Covers(y))
        FTintRow(Row(frame, y), tint.Left, tint.Right);
}
