// The grabber's effects on a 1920x1080 frame, against a plain memcpy of the
// same frame measured in the same run (counter x_memcpy: time of the effects
// over time of the copy; the aim for all effects is below 3).
#include "capture/PixelEffects.h"
#include "capture/PixelKernels.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int W = 1920, H = 1080, Stride = W * 3;
using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> MakeFrame()
{
    std::vector<std::uint8_t> f(std::size_t(Stride) * H);
    std::mt19937 rng(7);
    for (auto &b : f)
        b = std::uint8_t(rng());
    return f;
}

// Seconds per copy of one frame: the median of a few hundred copies.
double CopySeconds()
{
    static const double seconds = [] {
        const auto src = MakeFrame();
        std::vector<std::uint8_t> dst(src.size());
        std::vector<double> t;
        for (int i = 0; i < 300; ++i) {
            const auto a = Clock::now();
            std::memcpy(dst.data(), src.data(), src.size());
            benchmark::ClobberMemory();
            t.push_back(std::chrono::duration<double>(Clock::now() - a).count());
        }
        std::nth_element(t.begin(), t.begin() + 150, t.end());
        return t[150];
    }();
    return seconds;
}

void BM_Memcpy(benchmark::State &state)
{
    auto src = MakeFrame();
    std::vector<std::uint8_t> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(src.size()));
}
BENCHMARK(BM_Memcpy);

void RunEffects(benchmark::State &state, const TPixelEffects &fx,
                const TRowKernels *kernels = nullptr)
{
    auto frame = MakeFrame();
    const TFrameLayout layout{frame.data(), frame.size(), W, H, Stride};
    std::vector<double> t;
    for (auto _ : state) {
        const auto a = Clock::now();
        kernels ? ApplyPixelEffectsWith(*kernels, layout, fx) : ApplyPixelEffects(layout, fx);
        benchmark::ClobberMemory();
        t.push_back(std::chrono::duration<double>(Clock::now() - a).count());
    }
    std::nth_element(t.begin(), t.begin() + t.size() / 2, t.end());
    state.counters["x_memcpy"] = t[t.size() / 2] / CopySeconds();
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(frame.size()));
}

const TRect Selection{400, 200, 1500, 900};

void BM_AllEffects(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, Selection});
}
BENCHMARK(BM_AllEffects);

// The same with the plain kernels (processors without SSSE3).
void BM_AllEffectsPlainKernels(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, Selection}, &PlainRowKernels());
}
BENCHMARK(BM_AllEffectsPlainKernels);

#ifdef OVILEN_PIXEL_SIMD
// The same with the SSSE3 kernels (processors without AVX2).
void BM_AllEffectsSsse3Kernels(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, Selection}, &Ssse3RowKernels());
}
BENCHMARK(BM_AllEffectsSsse3Kernels);
#endif

void BM_AllButTint(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, false, {}});
}
BENCHMARK(BM_AllButTint);

void BM_Negative(benchmark::State &state)
{
    RunEffects(state, {true, false, false, false, false, {}});
}
BENCHMARK(BM_Negative);

void BM_Grayscale(benchmark::State &state)
{
    RunEffects(state, {false, true, false, false, false, {}});
}
BENCHMARK(BM_Grayscale);

void BM_MirrorLeftRight(benchmark::State &state)
{
    RunEffects(state, {false, false, true, false, false, {}});
}
BENCHMARK(BM_MirrorLeftRight);

void BM_MirrorTopBottom(benchmark::State &state)
{
    RunEffects(state, {false, false, false, true, false, {}});
}
BENCHMARK(BM_MirrorTopBottom);

void BM_TintOnly(benchmark::State &state)
{
    RunEffects(state, {false, false, false, false, true, Selection});
}
BENCHMARK(BM_TintOnly);

void BM_NoEffect(benchmark::State &state)
{
    RunEffects(state, {});
}
BENCHMARK(BM_NoEffect);

} // namespace

BENCHMARK_MAIN();
