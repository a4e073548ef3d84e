// The whole product engine through its render cycle: the default sound with eight voices
// sounding (and, in the second set, chorus, delay and reverb sending), at blocks of 64, 128 and
// 512 frames. items_per_second counts stereo frames per second; realtime_x is how many times
// faster than real time at 44.1 kHz the engine renders.
#include <benchmark/benchmark.h>

#include <deque>

#include "tests/synthesis/voice/engine/EngineFixture.h"

namespace {

void renderEightVoices(benchmark::State& state, bool effects) {
    const auto frames = static_cast<unsigned>(state.range(0));
    EngineTest::EngineRig rig(frames);
    if (effects) {
        rig.set(11100, 0.5f);
        rig.set(11200, 0.5f);
        rig.set(11400, 0.5f);
    }
    std::deque<Lumora::MidiMessage> chord;
    for (int note : {36, 43, 48, 55, 60, 64, 67, 72}) {
        chord.emplace_back(0x90, note, 100);
    }
    const std::deque<Lumora::MidiMessage> none;
    rig.renderBlock(frames, chord);
    if (rig.engine().instrument().numOfActiveVoices() != 8) {
        state.SkipWithError("eight voices are not sounding");
        return;
    }
    for (auto _ : state) {
        rig.renderBlock(frames, none);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * frames);
    state.counters["realtime_x"] = benchmark::Counter(
        static_cast<double>(frames) / EngineTest::EngineRig::kRate,
        benchmark::Counter::kIsIterationInvariantRate);
}

void BM_EngineDefaultSoundEightVoices(benchmark::State& state) { renderEightVoices(state, false); }
void BM_EngineWithEffectsEightVoices(benchmark::State& state) { renderEightVoices(state, true); }

} // namespace

BENCHMARK(BM_EngineDefaultSoundEightVoices)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_EngineWithEffectsEightVoices)->Arg(64)->Arg(128)->Arg(512);
