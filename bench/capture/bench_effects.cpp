// The grabber's effects on a 1920x1080 frame, against a plain memcpy of the
// same frame measured in the same iterations (counter x_memcpy: median time
// of the effects over median time of the copy; the aim for all effects is at
// most 2).
#include "BenchSupport.h"
#include "capture/engine/PixelEffects.h"
#include "capture/engine/kernels/PixelKernels.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int W = 1920, H = 1080, Stride = W * 3;
using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> MakeFrame(int rows = H)
{
    std::vector<std::uint8_t> f(std::size_t(Stride) * rows);
    std::mt19937 rng(7);
    for (auto &b : f)
        b = std::uint8_t(rng());
    return f;
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

// Each iteration copies the frame (the baseline) and then applies the
// effects to it, so both see the same machine load and the same caches.
void RunEffects(benchmark::State &state, const TPixelEffects &fx,
                const TRowKernels *kernels = nullptr, int rows = H)
{
    auto frame = MakeFrame(rows);
    std::vector<std::uint8_t> copy(frame.size());
    const TFrameLayout layout{frame.data(), frame.size(), W, rows, Stride};
    std::vector<double> effects, copies;
    for (auto _ : state) {
        auto a = Clock::now();
        std::memcpy(copy.data(), frame.data(), frame.size());
        benchmark::ClobberMemory();
        copies.push_back(std::chrono::duration<double>(Clock::now() - a).count());
        a = Clock::now();
        kernels ? ApplyPixelEffectsWith(*kernels, layout, fx) : ApplyPixelEffects(layout, fx);
        benchmark::ClobberMemory();
        effects.push_back(std::chrono::duration<double>(Clock::now() - a).count());
        state.SetIterationTime(effects.back());
    }
    state.counters["x_memcpy"] = Median(effects) / Median(copies);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(frame.size()));
}

const TRect Selection{400, 200, 1500, 900};

void BM_AllEffects(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, Selection});
}
BENCHMARK(BM_AllEffects)->UseManualTime();

// The same on a band of 120 rows, which stays in the processor's second-level
// cache together with its copy: how the kernels compare with a copy when
// memory is not what limits both (a frame that a previous stage has just
// written is partly in the caches).
void BM_AllEffectsInCache(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, {400, 20, 1500, 100}}, nullptr, 120);
}
BENCHMARK(BM_AllEffectsInCache)->UseManualTime();

// The same with the plain kernels (processors without SSSE3).
void BM_AllEffectsPlainKernels(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, Selection}, &PlainRowKernels());
}
BENCHMARK(BM_AllEffectsPlainKernels)->UseManualTime();

#ifdef OVILEN_PIXEL_SIMD
// The same with the AVX2 kernels (processors without AVX-512 byte permutes),
// on the whole frame and on the band that stays in the cache.
void BM_AllEffectsAvx2Kernels(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, Selection}, &Avx2RowKernels());
}
BENCHMARK(BM_AllEffectsAvx2Kernels)->UseManualTime();

void BM_AllEffectsAvx2KernelsInCache(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, {400, 20, 1500, 100}}, &Avx2RowKernels(), 120);
}
BENCHMARK(BM_AllEffectsAvx2KernelsInCache)->UseManualTime();

// The same with the SSSE3 kernels (processors without AVX2).
void BM_AllEffectsSsse3Kernels(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, Selection}, &Ssse3RowKernels());
}
BENCHMARK(BM_AllEffectsSsse3Kernels)->UseManualTime();
#endif

void BM_AllButTint(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, false, {}});
}
BENCHMARK(BM_AllButTint)->UseManualTime();

void BM_Negative(benchmark::State &state)
{
    RunEffects(state, {true, false, false, false, false, {}});
}
BENCHMARK(BM_Negative)->UseManualTime();

void BM_Grayscale(benchmark::State &state)
{
    RunEffects(state, {false, true, false, false, false, {}});
}
BENCHMARK(BM_Grayscale)->UseManualTime();

void BM_MirrorLeftRight(benchmark::State &state)
{
    RunEffects(state, {false, false, true, false, false, {}});
}
BENCHMARK(BM_MirrorLeftRight)->UseManualTime();

void BM_MirrorTopBottom(benchmark::State &state)
{
    RunEffects(state, {false, false, false, true, false, {}});
}
BENCHMARK(BM_MirrorTopBottom)->UseManualTime();

void BM_TintOnly(benchmark::State &state)
{
    RunEffects(state, {false, false, false, false, true, Selection});
}
BENCHMARK(BM_TintOnly)->UseManualTime();

void BM_NoEffect(benchmark::State &state)
{
    RunEffects(state, {});
}
// (A fixed count: its own time is too short for the runner to find one.)
BENCHMARK(BM_NoEffect)->UseManualTime()->Iterations(200);

} // namespace

BENCHMARK_MAIN();
