// The grabber's picture effects against a plain reference of the algorithm:
// negative, grayscale, left-right mirror, top-bottom mirror, tint, each step
// on a whole-frame work copy, on frames stored top-down with a row stride.
#include "ReferenceEffects.h"
#include "capture/engine/kernels/PixelKernels.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

using u8 = std::uint8_t;

struct Frame
{
    int W, H, Stride;
    std::vector<u8> Bytes; // Stride * H plus guard bytes after the last row

    static constexpr int Guard = 64;

    Frame(int w, int h, int stride)
        : W(w)
        , H(h)
        , Stride(stride)
    {
        Bytes.resize(std::size_t(stride) * h + Guard);
    }
    TFrameLayout Layout()
    {
        // The frame ends after the last pixel of the last row: the padding of
        // that row is not part of it, as in a tightly cut buffer.
        return {Bytes.data(), std::size_t(Stride) * (H - 1) + std::size_t(W) * 3, W, H, Stride};
    }
    u8 *Px(int x, int y) { return &Bytes[std::size_t(y) * Stride + std::size_t(x) * 3]; }
};

Frame RandomFrame(int w, int h, int stride, unsigned seed)
{
    Frame f(w, h, stride);
    std::mt19937 rng(seed);
    for (auto &b : f.Bytes)
        b = u8(rng());
    return f;
}

struct KernelSet
{
    const char *Name;
    const TRowKernels *Kernels;
};

std::vector<KernelSet> AvailableKernelSets()
{
    std::vector<KernelSet> sets{{"plain", &PlainRowKernels()}};
#ifdef OVILEN_PIXEL_SIMD
    if (__builtin_cpu_supports("ssse3"))
        sets.push_back({"ssse3", &Ssse3RowKernels()});
    if (__builtin_cpu_supports("avx2"))
        sets.push_back({"avx2", &Avx2RowKernels()});
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi"))
        sets.push_back({"avx512", &Avx512RowKernels()});
#endif
    return sets;
}

std::string Describe(const TPixelEffects &fx)
{
    std::string s;
    s += fx.Invert ? "neg " : "";
    s += fx.Grayscale ? "gray " : "";
    s += fx.FlipHorz ? "lr " : "";
    s += fx.FlipVert ? "tb " : "";
    if (fx.Tint)
        s += "tint(" + std::to_string(fx.TintRect.Left) + "," + std::to_string(fx.TintRect.Top) +
             "," + std::to_string(fx.TintRect.Right) + "," + std::to_string(fx.TintRect.Bottom) +
             ")";
    return s;
}

TEST(PixelEffects, EveryCombinationMatchesTheReferenceOnOddSizes)
{
    struct Size
    {
        int W, H;
    };
    // Odd sizes, and widths around the steps of the kernels: 16 and 32
    // pixels, and 21, 22 and 64 (with a last partial step done from the end).
    const Size sizes[] = {{1366, 768}, {3, 2},  {1, 1},  {2, 1},   {1, 3},  {15, 4},
                          {16, 3},     {17, 5}, {20, 3}, {21, 2},  {22, 3}, {23, 4},
                          {31, 2},     {32, 3}, {33, 3}, {43, 3},  {47, 2}, {63, 3},
                          {64, 2},     {65, 7}, {86, 3}, {129, 5}, {150, 4}};
    const auto sets = AvailableKernelSets();
    unsigned seed = 1;
    for (const Size s : sizes) {
        const int tightStride = (s.W * 3 + 3) & ~3; // rows padded to 4 bytes
        for (const int stride : {tightStride, tightStride + 12}) {
            // A rectangle inside, one reaching past the picture, one empty.
            const TRect rects[] = {{s.W / 4, s.H / 3, s.W - s.W / 5, s.H - s.H / 4},
                                   {-3, s.H / 2, s.W + 10, s.H + 4},
                                   {2, 2, 2, 9}};
            for (int mask = 1; mask < 32; ++mask) {
                // The big frame only with all effects and each alone: enough
                // to cover the row walk at full size.
                if (s.W > 1000 && mask != 31 && (mask & (mask - 1)) != 0)
                    continue;
                for (const TRect &r : rects) {
                    if (!(mask & 16) && &r != &rects[0])
                        continue;
                    const TPixelEffects fx{bool(mask & 1), bool(mask & 2),  bool(mask & 4),
                                           bool(mask & 8), bool(mask & 16), r};
                    const Frame original = RandomFrame(s.W, s.H, stride, seed++);
                    Frame expected = original;
                    ReferenceEffects(expected.Bytes.data(), expected.W, expected.H, expected.Stride,
                                     fx);
                    for (const auto &set : sets) {
                        Frame actual = original;
                        ApplyPixelEffectsWith(*set.Kernels, actual.Layout(), fx);
                        // Padding, guard bytes and pixels alike must match: the
                        // reference never touches padding either.
                        ASSERT_EQ(actual.Bytes, expected.Bytes)
                            << set.Name << " " << s.W << "x" << s.H << " stride " << stride << " "
                            << Describe(fx);
                    }
                }
            }
        }
    }
}

TEST(PixelEffects, EachFrameGetsTheEffectsAskedForItEvenWhenTheyChange)
{
    // One thread, as the streaming thread: switches turned on and off and the
    // rectangle moved between frames; every frame must show exactly its own
    // effects, never those of the frame before.
    const TPixelEffects steps[] = {
        {true, true, true, true, true, {5, 3, 40, 9}},
        {true, true, true, true, true, {0, 0, 17, 4}}, // only the rectangle moved
        {false, true, false, false, false, {}},
        {false, false, true, false, true, {10, 1, 66, 12}},
        {true, false, false, true, false, {}},
        {false, false, true, false, false, {}},
        {true, true, true, true, true, {5, 3, 40, 9}},
    };
    unsigned seed = 100;
    for (const TPixelEffects &fx : steps) {
        const Frame original = RandomFrame(67, 13, 67 * 3 + 5, seed++);
        Frame expected = original;
        ReferenceEffects(expected.Bytes.data(), expected.W, expected.H, expected.Stride, fx);
        Frame actual = original;
        EXPECT_TRUE(ApplyPixelEffects(actual.Layout(), fx));
        ASSERT_EQ(actual.Bytes, expected.Bytes) << Describe(fx);
    }
}

TEST(PixelEffects, WorkedValues)
{
    struct Case
    {
        const char *Name;
        TPixelEffects Fx;
        u8 In[3]; // blue, green, red
        u8 Out[3];
    };
    const TRect all{0, 0, 1, 1};
    const Case cases[] = {
        {"negative", {true, false, false, false, false, {}}, {50, 100, 200}, {205, 155, 55}},
        {"grayscale", {false, true, false, false, false, {}}, {50, 100, 200}, {131, 131, 131}},
        {"gray of pure red", {false, true, false, false, false, {}}, {0, 0, 255}, {95, 95, 95}},
        {"gray of white", {false, true, false, false, false, {}}, {255, 255, 255}, {255, 255, 255}},
        {"gray of the negative",
         {true, true, false, false, false, {}},
         {50, 100, 200},
         {123, 123, 123}},
        {"tint", {false, false, false, false, true, all}, {200, 101, 77}, {120, 61, 77}},
        {"tint of gray", {false, true, false, false, true, all}, {50, 100, 200}, {79, 79, 131}},
    };
    for (const Case &c : cases) {
        Frame f(1, 1, 4);
        std::copy(c.In, c.In + 3, f.Px(0, 0));
        ASSERT_TRUE(ApplyPixelEffects(f.Layout(), c.Fx)) << c.Name;
        EXPECT_EQ(f.Px(0, 0)[0], c.Out[0]) << c.Name;
        EXPECT_EQ(f.Px(0, 0)[1], c.Out[1]) << c.Name;
        EXPECT_EQ(f.Px(0, 0)[2], c.Out[2]) << c.Name;
    }
    // The tint of every byte value is 0.6 times it, rounded.
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(TintByte(u8(v)), u8(std::lround(v * 0.6))) << v;
}

TEST(PixelEffects, NegativeTwiceRestoresThePicture)
{
    const Frame original = RandomFrame(101, 9, 304, 5);
    Frame f = original;
    const TPixelEffects neg{true, false, false, false, false, {}};
    ApplyPixelEffects(f.Layout(), neg);
    EXPECT_NE(f.Bytes, original.Bytes);
    ApplyPixelEffects(f.Layout(), neg);
    EXPECT_EQ(f.Bytes, original.Bytes);
}

TEST(PixelEffects, BothMirrorsTurnThePictureHalfway)
{
    Frame f = RandomFrame(37, 11, 112, 9);
    const std::vector<u8> last(f.Px(36, 10), f.Px(36, 10) + 3);
    const std::vector<u8> first(f.Px(0, 0), f.Px(0, 0) + 3);
    ApplyPixelEffects(f.Layout(), {false, false, true, true, false, {}});
    EXPECT_EQ(std::vector<u8>(f.Px(0, 0), f.Px(0, 0) + 3), last);
    EXPECT_EQ(std::vector<u8>(f.Px(36, 10), f.Px(36, 10) + 3), first);
}

TEST(PixelEffects, TintCoversExactlyTheRectangleFromTheTopLeft)
{
    Frame f(64, 40, 192);
    std::fill(f.Bytes.begin(), f.Bytes.end(), u8(200));
    ApplyPixelEffects(f.Layout(), {false, false, false, false, true, {10, 20, 30, 25}});
    int tinted = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool inside = x >= 10 && x < 30 && y >= 20 && y < 25;
            tinted += f.Px(x, y)[0] == 120;
            EXPECT_EQ(f.Px(x, y)[0], inside ? 120 : 200) << x << "," << y;
            EXPECT_EQ(f.Px(x, y)[2], 200) << x << "," << y; // red keeps its value
        }
    EXPECT_EQ(tinted, 20 * 5);
}

TEST(PixelEffects, RefusesLayoutsThatDoNotFitTheBuffer)
{
    Frame f = RandomFrame(8, 4, 24, 3);
    const auto before = f.Bytes;
    const TPixelEffects all{true, true, true, true, true, {0, 0, 8, 4}};
    struct Bad
    {
        const char *Why;
        TFrameLayout L;
    };
    const Bad bad[] = {
        {"buffer one byte short", {f.Bytes.data(), 24 * 3 + 23, 8, 4, 24}},
        {"stride below the row", {f.Bytes.data(), f.Bytes.size(), 8, 4, 23}},
        {"no rows", {f.Bytes.data(), f.Bytes.size(), 8, 0, 24}},
        {"no data", {nullptr, 96, 8, 4, 24}},
    };
    for (const Bad &b : bad) {
        EXPECT_FALSE(ApplyPixelEffects(b.L, all)) << b.Why;
        EXPECT_EQ(f.Bytes, before) << b.Why;
    }
}

TEST(PixelEffects, NothingActiveLeavesTheFrameAlone)
{
    Frame f = RandomFrame(8, 4, 24, 4);
    const auto before = f.Bytes;
    EXPECT_FALSE(ApplyPixelEffects(f.Layout(), {}));
    // A tint with an empty (or wholly outside) rectangle is no work either.
    EXPECT_FALSE(ApplyPixelEffects(f.Layout(), {false, false, false, false, true, {9, 0, 20, 4}}));
    EXPECT_EQ(f.Bytes, before);
}

} // namespace
