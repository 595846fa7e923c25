// The effect kernels for processors with AVX2 (32 pixels per step: two
// groups of 16 pixels, one in each 128-bit half).
#include "capture/engine/kernels/PixelKernelsPlain.h"

#include <immintrin.h>

namespace {

struct V
{
    using T = __m256i;
    static constexpr int Lanes = 2;

    // Group 0 from p, group 1 from p + groupStep.
    static T Load(const std::uint8_t *p, int groupStep)
    {
        return _mm256_loadu2_m128i(reinterpret_cast<const __m128i *>(p + groupStep),
                                   reinterpret_cast<const __m128i *>(p));
    }
    // Group 0 first: where the two overlap, group 1's bytes stay.
    static void Store(std::uint8_t *p, int groupStep, T v)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p), _mm256_castsi256_si128(v));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p + groupStep),
                         _mm256_extracti128_si256(v, 1));
    }
    static T M(const Mask &m)
    {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(m.b)));
    }
    static T Set8(char v) { return _mm256_set1_epi8(v); }
    static T Set16(short v) { return _mm256_set1_epi16(v); }
    static T Shuffle(T v, T m) { return _mm256_shuffle_epi8(v, m); }
    static T And(T a, T b) { return _mm256_and_si256(a, b); }
    static T Or(T a, T b) { return _mm256_or_si256(a, b); }
    static T Xor(T a, T b) { return _mm256_xor_si256(a, b); }
    static T Select(T sel, T a, T b) { return _mm256_blendv_epi8(b, a, sel); }
    static T MAddUbs(T a, T b) { return _mm256_maddubs_epi16(a, b); }
    static T Add16(T a, T b) { return _mm256_add_epi16(a, b); }
    static T Sub16(T a, T b) { return _mm256_sub_epi16(a, b); }
    template <int N>
    static T Srl16(T a)
    {
        return _mm256_srli_epi16(a, N);
    }
    template <int N>
    static T Sll16(T a)
    {
        return _mm256_slli_epi16(a, N);
    }
    // a0 b0 a1 b1 ... from the low (high) eight bytes of each group.
    static T UnpackLo8(T a, T b) { return _mm256_unpacklo_epi8(a, b); }
    static T UnpackHi8(T a, T b) { return _mm256_unpackhi_epi8(a, b); }
    static T MulHrs16(T a, T b) { return _mm256_mulhrs_epi16(a, b); }
};

} // namespace

#include "capture/engine/kernels/PixelKernelsSimd.inl"

const TRowKernels &Avx2RowKernels()
{
    return VecKernels;
}
