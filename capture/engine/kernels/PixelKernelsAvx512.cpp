// The effect kernels for processors with AVX-512 byte permutes (VBMI): one
// permute moves bytes anywhere within 64, so a step handles 21 to 64 pixels
// with a single shuffle per 64 output bytes. Masked loads and stores keep
// every access inside the row; a row's last partial step is done again from
// its end where the kernel writes elsewhere than it reads, so nothing is
// left to the plain loop but rows shorter than one step.
#include "capture/engine/kernels/PixelKernelsPlain.h"

#include <algorithm>
#include <immintrin.h>

namespace {

using Z = __m512i;

struct Bytes64
{
    u8 b[64];
};

template <typename F>
constexpr Bytes64 Table(F f)
{
    Bytes64 t{};
    for (int i = 0; i < 64; ++i)
        t.b[i] = u8(f(i));
    return t;
}

inline Z Load(const Bytes64 &t)
{
    return _mm512_loadu_si512(t.b);
}

// Byte i := v[index[i]]. (The unmasked intrinsic starts from an undefined
// register, which some compilers take for a read of an uninitialised one.)
inline Z Permute(Z index, Z v)
{
    return _mm512_maskz_permutexvar_epi8(~__mmask64(0), index, v);
}

// The first n bytes.
constexpr __mmask64 FirstBytes(int n)
{
    return n >= 64 ? ~__mmask64(0) : (__mmask64(1) << n) - 1;
}

// Gray reduction: two loads two bytes apart, weighed by pmaddubsw so that
// word 3k holds 8 * gray of pixel 2k and word 3k + 1 that of pixel 2k + 1
// (see PixelKernelsSimd.inl), for 22 pixels; gray i is then the low byte of
// word i + i / 2.
constexpr int GrayStep = 22;
constexpr int NearPattern[6] = {1, 4, 0, 1, 0, 0}, FarPattern[6] = {3, 0, 4, 3, 0, 0};
constexpr Bytes64 NearW = Table([](int i) { return NearPattern[i % 6]; });
constexpr Bytes64 FarW = Table([](int i) { return FarPattern[i % 6]; });
constexpr Bytes64 PickGray = Table([](int i) { return i < GrayStep ? 2 * (i + i / 2) : 0; });

// Gray expansion of 64 pixels: output register k, byte i shows gray
// (64k + i) / 3 (mirrored: 63 minus that); tinted, blue and green take the
// tint (the second table of a two-register permute, index bit 6).
template <bool Rev, bool Tinted>
constexpr Bytes64 ExpandIndex(int k)
{
    return Table([k](int i) {
        const int p = (64 * k + i) / 3;
        const int src = Rev ? 63 - p : p;
        return Tinted && (64 * k + i) % 3 != 2 ? 64 + src : src;
    });
}

// Mirror of 21 pixels (63 bytes).
constexpr int MirrorStep = 21;
constexpr Bytes64 MirrorIndex = Table([](int i) { return i < 63 ? 3 * (20 - i / 3) + i % 3 : 0; });

// Blue and green bytes of register k of a run of pixels.
constexpr __mmask64 BlueGreenAt(int k)
{
    __mmask64 m = 0;
    for (int i = 0; i < 64; ++i)
        if ((64 * k + i) % 3 != 2)
            m |= __mmask64(1) << i;
    return m;
}
constexpr __mmask64 BlueGreenM[3] = {BlueGreenAt(0), BlueGreenAt(1), BlueGreenAt(2)};

// 0.6 * x rounded, for every byte (as in PixelKernelsSimd.inl).
inline Z TintAll(Z v)
{
    const Z k = _mm512_set1_epi16(19661);
    const Z even = _mm512_mulhrs_epi16(_mm512_and_si512(v, _mm512_set1_epi16(0x00FF)), k);
    const Z odd = _mm512_mulhrs_epi16(_mm512_srli_epi16(v, 8), k);
    return _mm512_or_si512(even, _mm512_slli_epi16(odd, 8));
}

template <bool Neg>
void ReduceGray512(const u8 *s, u8 *g, int w)
{
    if (w < GrayStep) {
        ReduceGrayPlain<Neg>(s, g, 0, w);
        return;
    }
    const Z nearW = Load(NearW), farW = Load(FarW), pick = Load(PickGray);
    const Z full = _mm512_set1_epi16(2040);
    const auto step = [&](int x) {
        const u8 *p = s + 3 * x;
        Z sum = _mm512_add_epi16(_mm512_maddubs_epi16(_mm512_loadu_si512(p), nearW),
                                 _mm512_maddubs_epi16(_mm512_loadu_si512(p + 2), farW));
        if constexpr (Neg)
            sum = _mm512_sub_epi16(full, sum);
        const Z gray = Permute(pick, _mm512_srli_epi16(sum, 3));
        _mm512_mask_storeu_epi8(g + x, FirstBytes(GrayStep), gray);
    };
    int x = 0;
    for (; x + GrayStep <= w; x += GrayStep)
        step(x);
    if (x < w)
        step(w - GrayStep);
}

template <bool Rev, bool Tinted>
void ExpandGray512(const u8 *g, u8 *d, int w, int from, int to)
{
    if (to - from < 64) {
        ExpandGrayPlain<Rev, Tinted>(g, d, w, from, to);
        return;
    }
    const Z i0 = Load(ExpandIndex<Rev, Tinted>(0)), i1 = Load(ExpandIndex<Rev, Tinted>(1)),
            i2 = Load(ExpandIndex<Rev, Tinted>(2));
    const auto step = [&](int x) {
        // Output pixels x ... x + 63; mirrored, they read the gray values
        // w - 64 - x ... backwards.
        const Z v = _mm512_loadu_si512(g + (Rev ? w - 64 - x : x));
        u8 *q = d + 3 * x;
        if constexpr (Tinted) {
            const Z t = TintAll(v);
            _mm512_storeu_si512(q, _mm512_permutex2var_epi8(v, i0, t));
            _mm512_storeu_si512(q + 64, _mm512_permutex2var_epi8(v, i1, t));
            _mm512_storeu_si512(q + 128, _mm512_permutex2var_epi8(v, i2, t));
        } else {
            _mm512_storeu_si512(q, Permute(i0, v));
            _mm512_storeu_si512(q + 64, Permute(i1, v));
            _mm512_storeu_si512(q + 128, Permute(i2, v));
        }
    };
    int x = from;
    for (; x + 64 <= to; x += 64)
        step(x);
    if (x < to)
        step(to - 64);
}

template <bool Neg>
void Reverse512(const u8 *s, u8 *d, int w)
{
    if (w < MirrorStep) {
        ReversePlain<Neg>(s, d, w, 0, w);
        return;
    }
    const Z index = Load(MirrorIndex);
    const Z ones = _mm512_set1_epi8(-1);
    const __mmask64 bytes = FirstBytes(3 * MirrorStep);
    const auto step = [&](int x) {
        // Output pixels x ... x + 20 mirror input pixels w - 21 - x ... .
        Z v = Permute(index, _mm512_maskz_loadu_epi8(bytes, s + 3 * (w - 21 - x)));
        if constexpr (Neg)
            v = _mm512_xor_si512(v, ones);
        _mm512_mask_storeu_epi8(d + 3 * x, bytes, v);
    };
    int x = 0;
    for (; x + MirrorStep <= w; x += MirrorStep)
        step(x);
    if (x < w)
        step(w - MirrorStep);
}

void Tint512(u8 *row, int from, int to)
{
    // In place, so no byte is done twice: 64 pixels (three registers) a
    // step, then one register's worth at a time, the last cut short.
    u8 *q = row + 3 * from;
    u8 *const end = row + 3 * to;
    const auto tint = [](u8 *p, __mmask64 bytes, __mmask64 blueGreen) {
        const Z v = _mm512_maskz_loadu_epi8(bytes, p);
        _mm512_mask_storeu_epi8(p, bytes, _mm512_mask_blend_epi8(blueGreen, v, TintAll(v)));
    };
    for (; end - q >= 192; q += 192)
        for (int k = 0; k < 3; ++k)
            tint(q + 64 * k, ~__mmask64(0), BlueGreenM[k]);
    for (int k = 0; q < end; q += 64, ++k)
        tint(q, FirstBytes(int(std::min<std::ptrdiff_t>(64, end - q))), BlueGreenM[k]);
}

constexpr TRowKernels Kernels512 = {
    {ReduceGray512<false>, ReduceGray512<true>},
    {{ExpandGray512<false, false>, ExpandGray512<false, true>},
     {ExpandGray512<true, false>, ExpandGray512<true, true>}},
    {Reverse512<false>, Reverse512<true>},
    Tint512,
};

} // namespace

const TRowKernels &Avx512RowKernels()
{
    return Kernels512;
}
