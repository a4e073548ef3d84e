// Each effect module over one block of a stereo voice mix, at the block sizes a host asks for;
// items are samples (frames), so the rate reads as samples per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/clock/Clock.h"
#include "engine/parameter/ParameterManager.h"
#include "synthesis/voice/effects/Chorus.h"
#include "synthesis/voice/effects/Delay.h"
#include "synthesis/voice/effects/Reverb.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace {

using namespace Lumora;
using namespace Lumora::Corvane::Module;

constexpr float kRate = 48000.0f;

struct Table {
    ParameterManager manager{"EffectsBench", 2, nullptr};
    Corvane::Parameters params{&manager};
};

void set(Parameter& p, float normalized)
{
    p.setNormalizedValue(normalized, ParameterObserver::Token::Document, AutomationEventType::None);
}

std::vector<float> signal(std::size_t n, float hz)
{
    std::vector<float> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = 0.5f * std::sin(6.2831853f * hz * static_cast<float>(i) / kRate);
    return x;
}

// Runs a stereo effect over blocks of n frames of two sines, 220 Hz left and 330 Hz right.
template <class Effect, class EffectParameters>
void runStereo(benchmark::State& state, Effect& effect, EffectParameters& p, unsigned n)
{
    Clock clock;
    effect.reserve(n, kRate);
    const auto inL = signal(n, 220.0f);
    const auto inR = signal(n, 330.0f);
    std::vector<float> left(n), right(n);
    for (auto _ : state) {
        effect.process(left.data(), right.data(), inL.data(), inR.data(), n, kRate, clock, p, 2,
                       AudioQuality::Normal);
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void BM_Chorus(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Table table;
    set(table.params.chorus.wet, 0.6f);
    set(table.params.chorus.depth, 0.7f);
    Clock clock;
    Chorus chorus;
    chorus.reserve(n, kRate);
    const auto in = signal(n, 220.0f);
    std::vector<float> left(n), right(n);
    for (auto _ : state) {
        chorus.process(left.data(), right.data(), in.data(), n, kRate, clock, table.params.chorus, 2,
                       AudioQuality::Normal);
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// filter: 0 echoes only, 1 with the filter section and drive on the echoes.
void BM_Delay(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Table table;
    auto& p = table.params.delay;
    set(p.send, 0.7f);
    set(p.timeModDepth, 0.3f);
    if (state.range(1) != 0) {
        set(p.filter.wet, 0.7f);
        set(p.filter.modDepth, 0.5f);
        set(p.filter.drive, 0.5f);
    }
    Delay delay;
    runStereo(state, delay, p, n);
}

// type: 0 compact mono network, 1 stereo reverb.
void BM_Reverb(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Table table;
    auto& p = table.params.reverb;
    set(p.send, 0.7f);
    set(p.type, static_cast<float>(state.range(1)) / 127.0f);
    Reverb reverb;
    runStereo(state, reverb, p, n);
}

// The engine's own sound: chorus at wet 0, delay and reverb (type 1) at send 0, run as in the
// instrument. rest: 0 every effect computes its block in full, 1 each may rest while not heard.
void BM_SwitchedOffChain(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    const bool rest = state.range(1) != 0;
    Table table;
    Clock clock;
    Chorus chorus;
    Delay delay;
    Reverb reverb;
    chorus.reserve(n, kRate);
    delay.reserve(n, kRate);
    reverb.reserve(n, kRate);
    chorus.allowRest(rest);
    delay.allowRest(rest);
    reverb.allowRest(rest);
    const auto in = signal(n, 220.0f);
    std::vector<float> left(n), right(n);
    auto& p = table.params;
    for (auto _ : state) {
        chorus.process(left.data(), right.data(), in.data(), n, kRate, clock, p.chorus, 2, AudioQuality::Normal);
        delay.process(left.data(), right.data(), left.data(), right.data(), n, kRate, clock, p.delay, 2,
                      AudioQuality::Normal);
        reverb.process(left.data(), right.data(), left.data(), right.data(), n, kRate, clock, p.reverb, 2,
                       AudioQuality::Normal);
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

} // namespace

BENCHMARK(BM_Chorus)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_Delay)->ArgsProduct({{64, 128, 512}, {0, 1}})->ArgNames({"frames", "filter"});
BENCHMARK(BM_Reverb)->ArgsProduct({{64, 128, 512}, {0, 1}})->ArgNames({"frames", "type"});
BENCHMARK(BM_SwitchedOffChain)->ArgsProduct({{256}, {0, 1}})->ArgNames({"frames", "rest"});
