#include "capture/engine/PixelEffects.h"

#include "capture/engine/PixelEffectsPlan.h"
#include "capture/engine/kernels/PixelKernels.h"
#include "capture/engine/kernels/PixelKernelsPlain.h"

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

// The best kernels this processor runs.
const TRowKernels &ChooseKernels()
{
#ifdef OVILEN_PIXEL_SIMD
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi"))
        return Avx512RowKernels();
    if (__builtin_cpu_supports("avx2"))
        return Avx2RowKernels();
    if (__builtin_cpu_supports("ssse3"))
        return Ssse3RowKernels();
#endif
    return PlainKernels;
}

// Chosen once, on first use.
const TRowKernels &BestKernels()
{
    static const TRowKernels &best = ChooseKernels();
    return best;
}

} // namespace

const TRowKernels &PlainRowKernels()
{
    return PlainKernels;
}

bool ApplyPixelEffects(const TFrameLayout &frame, const TPixelEffects &effects)
{
    if (!effects.Any())
        return false;
    // The streaming thread keeps the plan of the effects it last ran; a
    // switch turned on or off makes a new one, a moved rectangle does not.
    thread_local TPixelEffectsPlan plan;
    if (!plan.Serves(effects))
        plan = TPixelEffectsPlan(BestKernels(), effects);
    return plan.Run(frame, effects.TintRect);
}

bool ApplyPixelEffectsWith(const TRowKernels &kernels, const TFrameLayout &frame,
                           const TPixelEffects &effects)
{
    return effects.Any() && TPixelEffectsPlan(kernels, effects).Run(frame, effects.TintRect);
}
