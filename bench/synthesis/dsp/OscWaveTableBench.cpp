#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/noise/GeigerNoise.h"
#include "synthesis/dsp/noise/NoiseOsc.h"
#include "synthesis/dsp/noise/SampleAndHoldNoise.h"
#include "synthesis/dsp/osc/SawOsc.h"
#include "synthesis/dsp/osc/SineOsc.h"
#include "synthesis/dsp/osc/SquareOsc.h"
#include "synthesis/dsp/osc/TriangleOsc.h"
#include "tests/synthesis/dsp/common/SignalAnalysis.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace Lumora::DSP;
using namespace Lumora::DSP::OSC;

namespace {

constexpr float kSampleRate = 48000.0f;
constexpr float kNote = 440.0f;

// The share of the output's power that lies off the note's harmonics (aliasing and interpolation
// images), in dB, over 32768 samples of a few notes; the worst one is reported.
template <class Osc>
double aliasedEnergy()
{
    double worst = -300.0;
    for (float f : {55.0f, 440.0f, 3520.0f}) {
        Osc osc;
        osc.setFrequency(f);
        std::vector<float> out(32768);
        for (std::size_t i = 0; i < out.size(); i += 128)
            osc.process(out.data() + i, 128, kSampleRate);
        worst = std::max(worst, DspTest::aliasedEnergyDb(out, f, kSampleRate));
    }
    return worst;
}

template <class Osc>
void BM_WaveTable(benchmark::State& state)
{
    ScopedFlushDenormals guard;
    const unsigned n = unsigned(state.range(0));
    Osc osc;
    osc.setFrequency(kNote);
    std::vector<float> out(n);
    for (auto _ : state) {
        osc.process(out.data(), n, kSampleRate);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
    state.counters["aliased_dB"] = aliasedEnergy<Osc>();
}

void BM_SawPhaseModulated(benchmark::State& state)
{
    ScopedFlushDenormals guard;
    const unsigned n = unsigned(state.range(0));
    SawOsc osc;
    osc.setFrequency(kNote);
    std::vector<float> out(n), pm(n);
    for (unsigned i = 0; i < n; ++i)
        pm[i] = 0.3f * float(i) / float(n) - 0.1f;
    for (auto _ : state) {
        osc.process(out.data(), pm.data(), n, kSampleRate);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
}

void BM_SawHardSync(benchmark::State& state)
{
    ScopedFlushDenormals guard;
    const unsigned n = unsigned(state.range(0));
    SawOsc osc;
    osc.setFrequency(713.0f);
    osc.setSyncFrequency(kNote);
    std::vector<float> out(n);
    for (auto _ : state) {
        osc.process(out.data(), n, kSampleRate);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
}

template <class Noise>
void BM_Noise(benchmark::State& state)
{
    ScopedFlushDenormals guard;
    const unsigned n = unsigned(state.range(0));
    Noise noise;
    if constexpr (requires { noise.shapingValues; }) {
        noise.shapingValues[0] = 0.5f;
        noise.shapingValues[1] = 0.2f;
    }
    std::vector<float> out(n);
    for (auto _ : state) {
        noise.process(out.data(), n, kSampleRate);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
}

} // namespace

BENCHMARK(BM_WaveTable<SineOsc>)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_WaveTable<SawOsc>)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_WaveTable<SquareOsc>)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_WaveTable<TriangleOsc>)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_SawPhaseModulated)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_SawHardSync)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_Noise<NoiseOsc>)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_Noise<SampleAndHoldNoise>)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_Noise<GeigerNoise>)->Arg(64)->Arg(128)->Arg(512);
