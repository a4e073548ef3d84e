#include "synthesis/dsp/lfo/LFO.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

// The instrument's use: spans of 128 samples without a buffer, levels read back per sample.
void BM_LfoLevels(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Lumora::DSP::LFO lfo(Lumora::DSP::LFO::Sine);
    lfo.setWavelength(0.3f);
    std::uint64_t t = 0;
    for (auto _ : state) {
        lfo.blockProcess(nullptr, 128, n, 48000.0f, 0.0f, t);
        float sum = 0.0f;
        for (unsigned i = 0; i < n; i += 16)
            sum += lfo.level(i);
        benchmark::DoNotOptimize(sum);
        t += n;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// Rendered into a buffer, for every wave type in turn.
void BM_LfoRender(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    const auto type = static_cast<Lumora::DSP::LFO::WAVEFORM_TYPE>(state.range(1));
    Lumora::DSP::LFO lfo(type);
    lfo.setWavelength(0.05f);
    std::vector<float> out(n);
    std::uint64_t t = 0;
    for (auto _ : state) {
        lfo.blockProcess(out.data(), 128, n, 48000.0f, 0.6f, t);
        benchmark::DoNotOptimize(out.data());
        t += n;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

} // namespace

BENCHMARK(BM_LfoLevels)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_LfoRender)->ArgsProduct({{64, 128, 512}, {0, 4, 8}});
