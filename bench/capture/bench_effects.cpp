// The grabber's effects on a 1920x1080 frame, against a plain memcpy of it.
#include "capture/PixelEffects.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr int W = 1920, H = 1080, Stride = W * 3;

std::vector<std::uint8_t> MakeFrame()
{
    std::vector<std::uint8_t> f(std::size_t(Stride) * H);
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

void RunEffects(benchmark::State &state, TPixelEffects fx)
{
    auto frame = MakeFrame();
    TFrameLayout layout{frame.data(), frame.size(), W, H, Stride};
    for (auto _ : state) {
        ApplyPixelEffects(layout, fx);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(frame.size()));
}

void BM_AllEffects(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, true, {200, 100, 1700, 900}});
}
BENCHMARK(BM_AllEffects);

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
void BM_NoEffect(benchmark::State &state)
{
    RunEffects(state, {});
}
BENCHMARK(BM_NoEffect);

} // namespace

namespace {
void BM_AllButTint(benchmark::State &state)
{
    RunEffects(state, {true, true, true, true, false, {}});
}
BENCHMARK(BM_AllButTint);
void BM_TintOnly(benchmark::State &state)
{
    RunEffects(state, {false, false, false, false, true, {200, 100, 1700, 900}});
}
BENCHMARK(BM_TintOnly);
} // namespace
BENCHMARK_MAIN();
