#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/filter/BiquadFilter.h"
#include "synthesis/dsp/filter/DCBlockingFilter.h"
#include "synthesis/dsp/filter/OnePoleHighPass.h"
#include "synthesis/dsp/filter/OnePoleLowPass.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace Lumora::DSP;
using namespace Lumora::DSP::Filter;

namespace {

std::vector<float> noise(std::size_t n)
{
    std::vector<float> x(n);
    std::uint32_t s = 1;
    for (auto& v : x) {
        s = s * 1664525u + 1013904223u;
        v = float(s >> 8) / float(1u << 24) * 2.0f - 1.0f;
    }
    return x;
}

template <class Run>
void runBlocks(benchmark::State& state, Run run)
{
    ScopedFlushDenormals guard;
    const unsigned n = unsigned(state.range(0));
    auto in = noise(n);
    std::vector<float> out(n);
    for (auto _ : state) {
        run(out.data(), in.data(), n);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
}

void BM_OnePoleLowPass(benchmark::State& state)
{
    OnePoleLowPass f;
    f.setFrequency(0.1f);
    runBlocks(state, [&](float* o, const float* i, unsigned n) { f.process(o, i, n); });
}

void BM_OnePoleHighPass(benchmark::State& state)
{
    OnePoleHighPass f;
    f.setFrequency(0.1f);
    runBlocks(state, [&](float* o, const float* i, unsigned n) { f.process(o, i, n); });
}

// A design set every block, as the filter module does while its cutoff moves.
void BM_BiquadLowPassModulated(benchmark::State& state)
{
    BiquadFilter f;
    float cutoff = 0.1f;
    runBlocks(state, [&](float* o, const float* i, unsigned n) {
        cutoff = cutoff > 0.9f ? 0.1f : cutoff + 0.01f;
        f.setLpfParam(cutoff, 0.7f);
        f.process(o, i, n);
    });
}

void BM_BiquadBandPass(benchmark::State& state)
{
    BiquadFilter f;
    f.setBpfParam(0.2f, 0.5f);
    runBlocks(state, [&](float* o, const float* i, unsigned n) { f.process(o, i, n); });
}

void BM_BiquadFreeCoefficients(benchmark::State& state)
{
    BiquadFilter f;
    f.setBiquadParam(0.2f, 0.4f, 0.2f, 1.0f, -0.5f, 0.3f);
    runBlocks(state, [&](float* o, const float* i, unsigned n) { f.process(o, i, n); });
}

void BM_DCBlockingFilter(benchmark::State& state)
{
    DCBlockingFilter f;
    runBlocks(state, [&](float* o, const float* i, unsigned n) { f.process(o, i, n, 48000.0f, 20.0f); });
}

} // namespace

BENCHMARK(BM_OnePoleLowPass)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_OnePoleHighPass)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_BiquadLowPassModulated)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_BiquadBandPass)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_BiquadFreeCoefficients)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_DCBlockingFilter)->Arg(64)->Arg(128)->Arg(512);
