#pragma once

// Row kernels of the picture effects (see PixelEffectsPlan.cpp). Each set works
// on rows of 24-bit pixels; a gray row holds one byte per pixel.

#include <cstdint>

struct TFrameLayout;
struct TPixelEffects;

struct TRowKernels
{
    // g[x] := gray value of pixel x of s (of its negative when [1]).
    void (*ReduceGray[2])(const std::uint8_t *s, std::uint8_t *g, int w);
    // Output pixels from..to-1 of d from the gray row g, mirrored left to
    // right when [1][.]; blue and green tinted when [.][1].
    void (*ExpandGray[2][2])(const std::uint8_t *g, std::uint8_t *d, int w, int from, int to);
    // d := s mirrored left to right (and negated when [1]); d and s apart.
    void (*Reverse[2])(const std::uint8_t *s, std::uint8_t *d, int w);
    // Tints the blue and green bytes of pixels from..to-1.
    void (*Tint)(std::uint8_t *row, int from, int to);
};

const TRowKernels &PlainRowKernels();
#if defined(__x86_64__) || defined(__i386__)
#define OVILEN_PIXEL_SIMD 1
const TRowKernels &Ssse3RowKernels();
const TRowKernels &Avx2RowKernels();
// Needs AVX512BW and AVX512VBMI.
const TRowKernels &Avx512RowKernels();
#endif

// ApplyPixelEffects with a chosen kernel set (the tests compare the sets).
bool ApplyPixelEffectsWith(const TRowKernels &kernels, const TFrameLayout &frame,
                           const TPixelEffects &effects);
