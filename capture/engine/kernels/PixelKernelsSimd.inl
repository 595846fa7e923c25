// Vector row kernels, written once over a vector type V that holds
// V::Lanes groups of 16 bytes; pshufb works inside each group. Included by
// PixelKernelsSsse3.cpp and PixelKernelsAvx2.cpp, each compiled for its
// processor; everything here has internal linkage.
//
// The byte shuffle runs on fewer execution ports than loads, adds and
// multiplies, so the kernels spend as few shuffles per pixel as they can:
// the gray reduction lets overlapping loads line the bytes up for the
// multiply-adds, the tint works on 16-bit halves with shifts, and the
// left-right mirror moves five whole pixels per shuffle.

#include "capture/engine/kernels/PixelKernelsPlain.h"

namespace {

constexpr u8 Zero = 0x80; // a shuffle index that yields 0

// Byte i of register `out` takes stream byte src(16 * out + i) if that byte
// lies in register `in`; 0 otherwise (or when src is negative).
template <typename F>
constexpr Mask Gather(int out, int in, F src)
{
    Mask m{};
    for (int i = 0; i < 16; ++i) {
        const int s = src(16 * out + i);
        m.b[i] = (s >= 0 && s / 16 == in) ? u8(s % 16) : Zero;
    }
    return m;
}

constexpr bool Takes(const Mask &m)
{
    for (const u8 b : m.b)
        if (b != Zero)
            return true;
    return false;
}

// Gray reduction. Two loads of the same pixels, the second two bytes on,
// and pmaddubsw with these weights give, for the six pixels (18 bytes) from
// the first load's start, 8 * gray of pixel 2k in word 3k and of pixel
// 2k + 1 in word 3k + 1 (word 3k + 2 is 0):
//   word 3k     = 1 * b(2k) + 4 * g(2k)   + 3 * r(2k)     + 0 * b(2k+1)
//   word 3k + 1 = 0 * r(2k) + 1 * b(2k+1) + 4 * g(2k+1)   + 3 * r(2k+1)
constexpr Mask Weights(int w0, int w1, int w2, int w3)
{
    const int w[6] = {w0, w1, w2, w3, 0, 0};
    Mask m{};
    for (int i = 0; i < 16; ++i)
        m.b[i] = u8(w[i % 6]);
    return m;
}
constexpr Mask NearWeights = Weights(1, 4, 0, 1), FarWeights = Weights(3, 0, 4, 3);

// A group of 16 pixels is summed from pixels 0, 6 and 10 (the last load
// ends with the group); output byte firstOut + i takes the gray of pixel
// firstPixel + i of that load, the low byte of its word.
constexpr Mask PickGray(int firstOut, int firstPixel, int count)
{
    Mask m{};
    for (u8 &b : m.b)
        b = Zero;
    for (int i = 0; i < count; ++i) {
        const int p = firstPixel + i;
        m.b[firstOut + i] = u8(2 * (p + p / 2));
    }
    return m;
}
constexpr Mask Pick0 = PickGray(0, 0, 6), Pick1 = PickGray(6, 0, 6), Pick2 = PickGray(12, 2, 4);

// Gray expansion: stream byte k shows gray value k / 3 (mirrored: 15 - k / 3).
constexpr int ExpSrc(int k)
{
    return k / 3;
}
constexpr int ExpRevSrc(int k)
{
    return 15 - k / 3;
}
constexpr Mask ExpM[2][3] = {
    {Gather(0, 0, ExpSrc), Gather(1, 0, ExpSrc), Gather(2, 0, ExpSrc)},
    {Gather(0, 0, ExpRevSrc), Gather(1, 0, ExpRevSrc), Gather(2, 0, ExpRevSrc)},
};

// Tinted gray expansion from the tint and gray values interleaved (t0 v0
// t1 v1 ...: pixels 0-7 in register 0, 8-15 in register 1): blue and green
// show the tint, red the gray.
template <bool Rev>
constexpr int TintedSrc(int k)
{
    const int p = Rev ? 15 - k / 3 : k / 3;
    return 2 * p + (k % 3 == 2 ? 1 : 0);
}
template <bool Rev>
constexpr Mask TintedM[3][2] = {
    {Gather(0, 0, TintedSrc<Rev>), Gather(0, 1, TintedSrc<Rev>)},
    {Gather(1, 0, TintedSrc<Rev>), Gather(1, 1, TintedSrc<Rev>)},
    {Gather(2, 0, TintedSrc<Rev>), Gather(2, 1, TintedSrc<Rev>)},
};

// Mirror of five pixels loaded from one byte before them: output byte k
// (k < 15) takes byte 1 + 3 * (4 - k / 3) + k % 3; byte 15 is overwritten
// by the next store.
constexpr int Rev5Src(int k)
{
    return k < 15 ? 1 + 3 * (4 - k / 3) + k % 3 : -1;
}
constexpr Mask Rev5 = Gather(0, 0, Rev5Src);

// Blue and green bytes of a group: stream byte k with k % 3 != 2.
constexpr Mask BlueGreen(int out)
{
    Mask m{};
    for (int i = 0; i < 16; ++i)
        m.b[i] = (16 * out + i) % 3 == 2 ? 0 : 0xFF;
    return m;
}
constexpr Mask BlueGreenM[3] = {BlueGreen(0), BlueGreen(1), BlueGreen(2)};

constexpr int Px = 16 * V::Lanes; // pixels per step

// 0.6 * x rounded, for every byte: (x * 19661 + 16384) >> 15 never comes
// within 0.002 of a rounding boundary for x < 256. The even and odd bytes
// are worked as 16-bit values in place; no result exceeds a byte.
inline typename V::T TintAll(typename V::T v)
{
    const auto k = V::Set16(19661);
    const auto even = V::MulHrs16(V::And(v, V::Set16(0x00FF)), k);
    const auto odd = V::MulHrs16(V::Srl16<8>(v), k);
    return V::Or(even, V::Sll16<8>(odd));
}

template <bool Neg>
void ReduceGrayVec(const u8 *s, u8 *g, int w)
{
    const auto nearW = V::M(NearWeights), farW = V::M(FarWeights);
    const auto pick0 = V::M(Pick0), pick1 = V::M(Pick1), pick2 = V::M(Pick2);
    const auto full = V::Set16(2040);
    // Gray values of the six pixels from p, in the low bytes of words 0, 1,
    // 3, 4, 6 and 7 (group L from p + 48L).
    const auto six = [&](const u8 *p) {
        auto sum =
            V::Add16(V::MAddUbs(V::Load(p, 48), nearW), V::MAddUbs(V::Load(p + 2, 48), farW));
        if constexpr (Neg)
            sum = V::Sub16(full, sum);
        return V::Srl16<3>(sum);
    };
    int x = 0;
    for (; x + Px <= w; x += Px) {
        const u8 *p = s + 3 * x;
        const auto gray = V::Or(V::Or(V::Shuffle(six(p), pick0), V::Shuffle(six(p + 18), pick1)),
                                V::Shuffle(six(p + 30), pick2));
        V::Store(g + x, 16, gray);
    }
    ReduceGrayPlain<Neg>(s, g, x, w);
}

template <bool Rev, bool Tinted>
void ExpandGrayVec(const u8 *g, u8 *d, int w, int from, int to)
{
    int x = from;
    if constexpr (Tinted) {
        // Output register 0 takes its pixels from the first register of
        // pairs, 2 from the second (mirrored: the other way round), 1 from
        // both.
        constexpr int First = Rev ? 1 : 0, Second = 1 - First;
        const auto &m = TintedM<Rev>;
        const auto m0 = V::M(m[0][First]), m1a = V::M(m[1][First]);
        const auto m1b = V::M(m[1][Second]), m2 = V::M(m[2][Second]);
        static_assert(!Takes(TintedM<Rev>[0][Second]) && !Takes(TintedM<Rev>[2][First]));
        for (; x + Px <= to; x += Px) {
            // Group L covers output pixels x + 16L ...; mirrored, it reads
            // the gray values w - 16 - x - 16L ... backwards.
            const auto v = Rev ? V::Load(g + (w - 16 - x), -16) : V::Load(g + x, 16);
            const auto t = TintAll(v);
            const auto lo = V::UnpackLo8(t, v), hi = V::UnpackHi8(t, v);
            const auto first = Rev ? hi : lo, second = Rev ? lo : hi;
            u8 *q = d + 3 * x;
            V::Store(q, 48, V::Shuffle(first, m0));
            V::Store(q + 16, 48, V::Or(V::Shuffle(first, m1a), V::Shuffle(second, m1b)));
            V::Store(q + 32, 48, V::Shuffle(second, m2));
        }
    } else {
        const auto &m = ExpM[Rev ? 1 : 0];
        const auto m0 = V::M(m[0]), m1 = V::M(m[1]), m2 = V::M(m[2]);
        for (; x + Px <= to; x += Px) {
            const auto v = Rev ? V::Load(g + (w - 16 - x), -16) : V::Load(g + x, 16);
            u8 *q = d + 3 * x;
            V::Store(q, 48, V::Shuffle(v, m0));
            V::Store(q + 16, 48, V::Shuffle(v, m1));
            V::Store(q + 32, 48, V::Shuffle(v, m2));
        }
    }
    ExpandGrayPlain<Rev, Tinted>(g, d, w, x, to);
}

template <bool Neg>
void ReverseVec(const u8 *s, u8 *d, int w)
{
    constexpr int Step = 5 * V::Lanes; // pixels per step
    const auto m = V::M(Rev5);
    const auto ones = V::Set8(-1);
    int x = 0;
    // Group L of the output (pixels x + 5L ...) mirrors the input pixels
    // w - 5 - x - 5L ..., loaded from the byte before them; its store
    // reaches one byte past them, which the next group (or the tail)
    // overwrites. Both stay inside the row while a pixel follows the step.
    for (; x + Step + 1 <= w; x += Step) {
        auto v = V::Shuffle(V::Load(s + 3 * (w - 5 - x) - 1, -15), m);
        if constexpr (Neg)
            v = V::Xor(v, ones);
        V::Store(d + 3 * x, 15, v);
    }
    ReversePlain<Neg>(s, d, w, x, w);
}

void TintVec(u8 *row, int from, int to)
{
    const auto s0 = V::M(BlueGreenM[0]), s1 = V::M(BlueGreenM[1]), s2 = V::M(BlueGreenM[2]);
    int x = from;
    for (; x + Px <= to; x += Px) {
        u8 *q = row + 3 * x;
        const auto a = V::Load(q, 48), b = V::Load(q + 16, 48), c = V::Load(q + 32, 48);
        V::Store(q, 48, V::Select(s0, TintAll(a), a));
        V::Store(q + 16, 48, V::Select(s1, TintAll(b), b));
        V::Store(q + 32, 48, V::Select(s2, TintAll(c), c));
    }
    TintPlain(row, x, to);
}

constexpr TRowKernels VecKernels = {
    {ReduceGrayVec<false>, ReduceGrayVec<true>},
    {{ExpandGrayVec<false, false>, ExpandGrayVec<false, true>},
     {ExpandGrayVec<true, false>, ExpandGrayVec<true, true>}},
    {ReverseVec<false>, ReverseVec<true>},
    TintVec,
};

} // namespace
