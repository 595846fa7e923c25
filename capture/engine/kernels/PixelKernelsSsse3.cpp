// The effect kernels for processors with SSSE3 (16 pixels per step).
#include "capture/engine/kernels/PixelKernelsPlain.h"

#include <immintrin.h>

namespace {

struct V
{
    using T = __m128i;
    static constexpr int Lanes = 1;

    static T Load(const std::uint8_t *p, int /*groupStep*/)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    }
    static void Store(std::uint8_t *p, int /*groupStep*/, T v)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), v);
    }
    static T M(const Mask &m) { return Load(m.b, 0); }
    static T Set8(char v) { return _mm_set1_epi8(v); }
    static T Set16(short v) { return _mm_set1_epi16(v); }
    static T Shuffle(T v, T m) { return _mm_shuffle_epi8(v, m); }
    static T And(T a, T b) { return _mm_and_si128(a, b); }
    static T Or(T a, T b) { return _mm_or_si128(a, b); }
    static T Xor(T a, T b) { return _mm_xor_si128(a, b); }
    // sel ? a : b, bytewise (sel bytes are 0 or 0xFF)
    static T Select(T sel, T a, T b)
    {
        return _mm_or_si128(_mm_and_si128(sel, a), _mm_andnot_si128(sel, b));
    }
    static T MAddUbs(T a, T b) { return _mm_maddubs_epi16(a, b); }
    static T Add16(T a, T b) { return _mm_add_epi16(a, b); }
    static T Sub16(T a, T b) { return _mm_sub_epi16(a, b); }
    template <int N>
    static T Srl16(T a)
    {
        return _mm_srli_epi16(a, N);
    }
    template <int N>
    static T Sll16(T a)
    {
        return _mm_slli_epi16(a, N);
    }
    // a0 b0 a1 b1 ... from the low (high) eight bytes.
    static T UnpackLo8(T a, T b) { return _mm_unpacklo_epi8(a, b); }
    static T UnpackHi8(T a, T b) { return _mm_unpackhi_epi8(a, b); }
    static T MulHrs16(T a, T b) { return _mm_mulhrs_epi16(a, b); }
};

} // namespace

#include "capture/engine/kernels/PixelKernelsSimd.inl"

const TRowKernels &Ssse3RowKernels()
{
    return VecKernels;
}
