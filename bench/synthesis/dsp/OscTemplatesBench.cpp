#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/osc/SawOsc.h"
#include "synthesis/dsp/osc/SineOsc.h"
#include "synthesis/dsp/osc/SquareOsc.h"
#include "synthesis/dsp/osc/TriangleOsc.h"
#include "synthesis/dsp/osc/tDetunedOsc.h"
#include "synthesis/dsp/osc/tFmOsc.h"
#include "synthesis/dsp/osc/tMixOsc.h"
#include "synthesis/dsp/osc/tOverSampledOsc.h"
#include "tests/synthesis/dsp/common/SignalAnalysis.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace Lumora::DSP;
using namespace Lumora::DSP::OSC;

namespace {

// The voice's oscillator stack, with a band-limited sine as the FM modulator.
template <class Wave>
using VoiceOsc = tDetunedOsc<tMixOsc<Wave, tOverSampledOsc<tFmOsc<Wave, SineOsc, 4>>>>;

constexpr float kSampleRate = 48000.0f;

// range(0): block length; range(1): oversampling mode (0 none, 1 two times, 2 four times).
// The FM path is fully in (mix 1), index 0.5, ratio 1, no detune: the spectrum is harmonic, so the
// counter "aliased_dB" is the power that the FM and decimation fold off the harmonics.
template <class Wave>
void BM_VoiceOsc(benchmark::State& state)
{
    ScopedFlushDenormals guard;
    const unsigned n = unsigned(state.range(0));
    const auto mode = std::uint32_t(state.range(1));
    auto setUp = [&](VoiceOsc<Wave>& osc, float frequency) {
        osc.reserve(512);
        for (auto& v : osc.voices) {
            v.mix = 1.0f;
            v.fm.mode = mode;
            v.fm.inner.index = v.fm.inner.previousIndex = 0.5f;
        }
        osc.setFrequency(frequency);
    };
    VoiceOsc<Wave> osc;
    setUp(osc, 440.0f);
    std::vector<float> out(n);
    for (auto _ : state) {
        osc.process(out.data(), n, kSampleRate);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * n);

    VoiceOsc<Wave> probe;
    const float f = 1234.5f;
    setUp(probe, f);
    std::vector<float> sound(32768);
    for (std::size_t i = 0; i < sound.size(); i += 128)
        probe.process(sound.data() + i, 128, kSampleRate);
    state.counters["aliased_dB"] = DspTest::aliasedEnergyDb(sound, f, kSampleRate);
}

// The full stack with everything on: detune, a crossfaded mix and FM.
template <class Wave>
void BM_VoiceOscDetunedMix(benchmark::State& state)
{
    ScopedFlushDenormals guard;
    const unsigned n = unsigned(state.range(0));
    VoiceOsc<Wave> osc;
    osc.reserve(512);
    osc.shapingValues[0] = 0.3f;
    for (auto& v : osc.voices) {
        v.mix = 0.5f;
        v.fm.mode = std::uint32_t(state.range(1));
        v.fm.inner.index = 0.3f;
    }
    osc.setFrequency(440.0f);
    std::vector<float> out(n);
    for (auto _ : state) {
        osc.process(out.data(), n, kSampleRate);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
}

void qualities(benchmark::internal::Benchmark* b)
{
    for (int mode : {0, 1, 2})
        for (int n : {64, 128, 512})
            b->Args({n, mode});
    b->ArgNames({"block", "quality"});
}

} // namespace

BENCHMARK(BM_VoiceOsc<SawOsc>)->Apply(qualities);
BENCHMARK(BM_VoiceOsc<SquareOsc>)->Apply(qualities);
BENCHMARK(BM_VoiceOsc<TriangleOsc>)->Apply(qualities);
BENCHMARK(BM_VoiceOscDetunedMix<SawOsc>)->Apply(qualities);
