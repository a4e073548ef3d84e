#include "synthesis/dsp/reverb/Reverb.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

// The reverb as the reverb module builds and sets it, stereo frames per second.
void BM_Reverb(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    using Lumora::DSPv2::Reverb;
    Reverb reverb(Reverb::PreHighPass | Reverb::PreLowPass | Reverb::PreDelay);
    reverb.param.preDelay = 0.02f;
    reverb.param.roomSize = 55.0f;
    reverb.param.decayTime = 5.1f;
    reverb.param.earlyLevel = 0.5f;
    reverb.param.lateLevel = 0.5f;
    reverb.param.preLowPass = 0.25f;
    std::vector<float> l(n), r(n);
    float phase = 0.0f;
    for (auto _ : state) {
        for (unsigned i = 0; i < n; ++i) {
            l[i] = r[i] = 0.1f * std::sin(phase);
            phase += 0.03f;
        }
        reverb.process(l.data(), r.data(), l.data(), r.data(), n, 48000.0f);
        benchmark::DoNotOptimize(l.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

} // namespace

BENCHMARK(BM_Reverb)->Arg(64)->Arg(128)->Arg(512);
