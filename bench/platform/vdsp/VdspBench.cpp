#include "platform/vdsp/Vdsp.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace Vdsp = Platform::Vdsp;

namespace {

std::vector<float> noise(size_t n, uint32_t seed)
{
    std::vector<float> v(n);
    for (auto& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = static_cast<float>(seed >> 8) / static_cast<float>(1u << 23) - 1.0f; // [-1, 1)
    }
    return v;
}

size_t blockSize(const benchmark::State& state)
{
    return static_cast<size_t>(state.range(0));
}

void reportSamples(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

void BM_Add(benchmark::State& state)
{
    const size_t n = blockSize(state);
    const auto a = noise(n, 1), b = noise(n, 2);
    std::vector<float> out(n);
    for (auto _ : state) {
        Vdsp::add(a.data(), b.data(), out.data(), n);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    reportSamples(state);
}

void BM_Multiply(benchmark::State& state)
{
    const size_t n = blockSize(state);
    const auto a = noise(n, 1), b = noise(n, 2);
    std::vector<float> out(n);
    for (auto _ : state) {
        Vdsp::multiply(a.data(), b.data(), out.data(), n);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    reportSamples(state);
}

void BM_ScaleInPlace(benchmark::State& state)
{
    const size_t n = blockSize(state);
    auto a = noise(n, 1);
    for (auto _ : state) {
        // Gain of exactly 1 keeps the buffer's values steady however long the run.
        Vdsp::scale(a.data(), 1.0f, a.data(), n);
        benchmark::DoNotOptimize(a.data());
        benchmark::ClobberMemory();
    }
    reportSamples(state);
}

void BM_RampMultiply(benchmark::State& state)
{
    const size_t n = blockSize(state);
    const auto a = noise(n, 1);
    std::vector<float> out(n);
    const float step = -1.0f / static_cast<float>(n);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Vdsp::rampMultiply(a.data(), 1.0f, step, out.data(), n));
        benchmark::ClobberMemory();
    }
    reportSamples(state);
}

// Argument 1 of 0 keeps to the narrow loops where the processor would take AVX2 gathers.
void BM_TableLookup(benchmark::State& state)
{
    const bool wide = state.range(1) != 0;
    Vdsp::allowWideTableLookup(wide);
    state.SetLabel(wide ? "wide where available" : "narrow");
    const size_t n = blockSize(state);
    const size_t tableSize = 1024;
    const auto table = noise(tableSize, 3);
    const auto x = noise(n, 4);
    std::vector<float> out(n);
    const float half = static_cast<float>(tableSize) / 2.0f;
    for (auto _ : state) {
        Vdsp::tableLookup(x.data(), half, half, table.data(), tableSize, out.data(), n);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    reportSamples(state);
    Vdsp::allowWideTableLookup(true);
}

void BM_Biquad(benchmark::State& state)
{
    const size_t n = blockSize(state);
    const auto x = noise(n, 5);
    std::vector<float> y(n);
    const Vdsp::BiquadCoefficients lowPass{0.2066f, 0.4131f, 0.2066f, -0.3695f, 0.1958f};
    Vdsp::BiquadHistory h;
    for (auto _ : state) {
        Vdsp::biquad(lowPass, h, x.data(), y.data(), n);
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    reportSamples(state);
}

} // namespace

BENCHMARK(BM_Add)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_Multiply)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_ScaleInPlace)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_RampMultiply)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_TableLookup)->ArgsProduct({{64, 128, 512}, {1, 0}});
BENCHMARK(BM_Biquad)->Arg(64)->Arg(128)->Arg(512);
