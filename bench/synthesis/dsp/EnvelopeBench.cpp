#include "synthesis/dsp/envelope/ADSR.h"

#include <benchmark/benchmark.h>

#include <vector>

using Lumora::VoicingType;
using Lumora::DSP::ENV::ADSR;

namespace {

// Rendered per sample through attack, decay and sustain, gated again every second.
void BM_AdsrRender(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    ADSR env;
    env.setADSR(0.3f, 0.4f, 0.5f, 0.2f);
    std::vector<float> out(n);
    unsigned done = 0;
    for (auto _ : state) {
        if (done == 0)
            env.gateOn(VoicingType::NewNote);
        env.process(out.data(), n, 48000.0f);
        benchmark::DoNotOptimize(out.data());
        done = (done + n) % 48000;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// Run in 128-sample control blocks without output and read back at every sample, as the
// modulation modules do.
void BM_AdsrControlBlocks(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    ADSR env;
    env.setADSR(0.3f, 0.4f, 0.5f, 0.2f);
    env.gateOn(VoicingType::NewNote);
    for (auto _ : state) {
        env.blockProcess(nullptr, 128, n, 48000.0f);
        float sum = 0.0f;
        for (unsigned i = 0; i < n; i += 16)
            sum += env.level(i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

} // namespace

BENCHMARK(BM_AdsrRender)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_AdsrControlBlocks)->Arg(64)->Arg(128)->Arg(512);
