#pragma once

// The row work of one set of picture effects with one kernel set, resolved
// once when the set changes and then run on every frame (see
// PixelEffectsPlan.cpp for how the effects are composed).

#include "capture/engine/PixelEffects.h"
#include "capture/engine/kernels/PixelKernels.h"

#include <cstdint>

class TPixelEffectsPlan
{
public:
    // A plan that does nothing.
    TPixelEffectsPlan() = default;
    // The effects' switches are fixed here; their tint rectangle is given to
    // each Run, since it follows the mouse.
    TPixelEffectsPlan(const TRowKernels &kernels, const TPixelEffects &effects);

    // True when the plan was made for these switches (the rectangle aside).
    bool Serves(const TPixelEffects &effects) const;

    // Applies the effects to the frame in place; tint is the rectangle of
    // the tint (unused when the tint is off). Returns true when the frame
    // was changed. Rows are buffered in thread-local scratch memory, so one
    // plan may run on several threads.
    bool Run(const TFrameLayout &frame, const TRect &tint) const;

private:
    struct TSpan;
    using TRowPair = void (TPixelEffectsPlan::*)(const TFrameLayout &, const TSpan &, int, int,
                                                 std::uint8_t *) const;

    void GrayPair(const TFrameLayout &frame, const TSpan &tint, int a, int b,
                  std::uint8_t *buf) const;
    void MirrorPair(const TFrameLayout &frame, const TSpan &tint, int a, int b,
                    std::uint8_t *buf) const;
    void PlainPair(const TFrameLayout &frame, const TSpan &tint, int a, int b,
                   std::uint8_t *buf) const;
    void FinishRow(const TFrameLayout &frame, const TSpan &tint, int y) const;

    unsigned FSwitches = 0; // see Switches() in the .cpp
    TRowPair FPair = nullptr;
    bool FFlipVert = false;
    bool FNegate = false;
    bool FTint = false;
    void (*FReduceGray)(const std::uint8_t *, std::uint8_t *, int) = nullptr;
    void (*FExpandGray)(const std::uint8_t *, std::uint8_t *, int, int, int) = nullptr;
    void (*FExpandTinted)(const std::uint8_t *, std::uint8_t *, int, int, int) = nullptr;
    void (*FReverse)(const std::uint8_t *, std::uint8_t *, int) = nullptr;
    void (*FTintRow)(std::uint8_t *, int, int) = nullptr;
};
