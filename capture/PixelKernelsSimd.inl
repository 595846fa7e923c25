// Vector row kernels, written once over a vector type V that holds
// V::Lanes groups of 16 bytes; pshufb works inside each group. A group
// covers 16 pixels: three registers hold their 48 bytes. Included by
// PixelKernelsSsse3.cpp and PixelKernelsAvx2.cpp, each compiled for its
// processor; everything here has internal linkage.

#include "capture/PixelKernelsPlain.h"

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

// Gray reduction: (blue, green) and (red, 0) byte pairs of pixels 0-7 (lo)
// and 8-15 (hi) of a group, as pmaddubsw operands.
constexpr int BgSrc(int k)
{
    return 3 * (k / 2) + (k % 2);
}
constexpr int RSrc(int k)
{
    return k % 2 ? -1 : 3 * (k / 2) + 2;
}
constexpr Mask BgLo0 = Gather(0, 0, BgSrc), BgLo1 = Gather(0, 1, BgSrc);
constexpr Mask BgHi1 = Gather(1, 1, BgSrc), BgHi2 = Gather(1, 2, BgSrc);
constexpr Mask RLo0 = Gather(0, 0, RSrc), RLo1 = Gather(0, 1, RSrc);
constexpr Mask RHi1 = Gather(1, 1, RSrc), RHi2 = Gather(1, 2, RSrc);

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

// Mirror of 16 pixels: stream byte k takes byte 3 * (15 - k / 3) + k % 3.
constexpr int RevSrc(int k)
{
    return 3 * (15 - k / 3) + k % 3;
}
constexpr Mask RevM[3][3] = {
    {Gather(0, 0, RevSrc), Gather(0, 1, RevSrc), Gather(0, 2, RevSrc)},
    {Gather(1, 0, RevSrc), Gather(1, 1, RevSrc), Gather(1, 2, RevSrc)},
    {Gather(2, 0, RevSrc), Gather(2, 1, RevSrc), Gather(2, 2, RevSrc)},
};

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
// within 0.002 of a rounding boundary for x < 256.
inline typename V::T TintAll(typename V::T v)
{
    const auto k = V::Set16(19661);
    const auto lo = V::MulHrs16(V::UnpackLo8(v), k);
    const auto hi = V::MulHrs16(V::UnpackHi8(v), k);
    return V::PackUs16(lo, hi);
}

template <bool Neg>
void ReduceGrayVec(const u8 *s, u8 *g, int w)
{
    const auto bgLo0 = V::M(BgLo0), bgLo1 = V::M(BgLo1);
    const auto bgHi1 = V::M(BgHi1), bgHi2 = V::M(BgHi2);
    const auto rLo0 = V::M(RLo0), rLo1 = V::M(RLo1);
    const auto rHi1 = V::M(RHi1), rHi2 = V::M(RHi2);
    const auto w14 = V::Set16(0x0401); // blue * 1 + green * 4
    const auto w30 = V::Set16(0x0003); // red * 3 + 0
    const auto full = V::Set16(2040);
    int x = 0;
    for (; x + Px <= w; x += Px) {
        const u8 *p = s + 3 * x;
        const auto a = V::Load(p, 48), b = V::Load(p + 16, 48), c = V::Load(p + 32, 48);
        const auto bgLo = V::Or(V::Shuffle(a, bgLo0), V::Shuffle(b, bgLo1));
        const auto bgHi = V::Or(V::Shuffle(b, bgHi1), V::Shuffle(c, bgHi2));
        const auto rLo = V::Or(V::Shuffle(a, rLo0), V::Shuffle(b, rLo1));
        const auto rHi = V::Or(V::Shuffle(b, rHi1), V::Shuffle(c, rHi2));
        auto lo = V::Add16(V::MAddUbs(bgLo, w14), V::MAddUbs(rLo, w30));
        auto hi = V::Add16(V::MAddUbs(bgHi, w14), V::MAddUbs(rHi, w30));
        if constexpr (Neg) {
            lo = V::Sub16(full, lo);
            hi = V::Sub16(full, hi);
        }
        V::Store(g + x, 16, V::PackUs16(V::Srl16<3>(lo), V::Srl16<3>(hi)));
    }
    ReduceGrayPlain<Neg>(s, g, x, w);
}

template <bool Rev, bool Tinted>
void ExpandGrayVec(const u8 *g, u8 *d, int w, int from, int to)
{
    const auto &m = ExpM[Rev ? 1 : 0];
    const auto m0 = V::M(m[0]), m1 = V::M(m[1]), m2 = V::M(m[2]);
    const auto s0 = V::M(BlueGreenM[0]), s1 = V::M(BlueGreenM[1]), s2 = V::M(BlueGreenM[2]);
    int x = from;
    for (; x + Px <= to; x += Px) {
        // Group L covers output pixels x + 16L ...; mirrored, it reads the
        // gray values w - 16 - x - 16L ... backwards.
        const auto v = Rev ? V::Load(g + (w - 16 - x), -16) : V::Load(g + x, 16);
        u8 *q = d + 3 * x;
        auto o0 = V::Shuffle(v, m0), o1 = V::Shuffle(v, m1), o2 = V::Shuffle(v, m2);
        if constexpr (Tinted) {
            const auto t = TintAll(v);
            o0 = V::Select(s0, V::Shuffle(t, m0), o0);
            o1 = V::Select(s1, V::Shuffle(t, m1), o1);
            o2 = V::Select(s2, V::Shuffle(t, m2), o2);
        }
        V::Store(q, 48, o0);
        V::Store(q + 16, 48, o1);
        V::Store(q + 32, 48, o2);
    }
    ExpandGrayPlain<Rev, Tinted>(g, d, w, x, to);
}

template <bool Neg>
void ReverseVec(const u8 *s, u8 *d, int w)
{
    typename V::T m[3][3];
    for (int o = 0; o < 3; ++o)
        for (int i = 0; i < 3; ++i)
            m[o][i] = V::M(RevM[o][i]);
    const auto ones = V::Set8(-1);
    int x = 0;
    for (; x + Px <= w; x += Px) {
        // Group L of the output (pixels x + 16L ...) mirrors the input
        // pixels w - 16 - x - 16L ... .
        const u8 *p = s + 3 * (w - 16 - x);
        const typename V::T in[3] = {V::Load(p, -48), V::Load(p + 16, -48), V::Load(p + 32, -48)};
        u8 *q = d + 3 * x;
        for (int o = 0; o < 3; ++o) {
            auto v = V::Or(V::Or(V::Shuffle(in[0], m[o][0]), V::Shuffle(in[1], m[o][1])),
                           V::Shuffle(in[2], m[o][2]));
            if constexpr (Neg)
                v = V::Xor(v, ones);
            V::Store(q + 16 * o, 48, v);
        }
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
