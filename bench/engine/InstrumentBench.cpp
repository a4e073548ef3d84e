// Cost of the instrument frame around the voices: dispatch, rendering a few sine voices,
// summing, volume and clipping, for blocks of 64, 128 and 512 frames.

#include <benchmark/benchmark.h>

#include <deque>
#include <vector>

#include "engine/instrument/iInstrument.h"
#include "tests/engine/support/TestVoice.h"

namespace {

using Lumora::MidiMessage;
using Lumora::Testing::TestInstrument;
using Lumora::Testing::TestSetup;
using Lumora::Testing::TestVoice;

void renderVoices(benchmark::State& state) {
    const auto frames = static_cast<unsigned>(state.range(0));
    const auto voices = static_cast<int>(state.range(1));

    TestInstrument instrument(TestSetup{.shape = TestVoice::Shape::Sine, .level = 0.1f});
    instrument.allocateRenderResources(TestInstrument::kSampleRate);
    instrument.setMaxPolyphony(24);

    std::vector<std::vector<float>> buffers(2, std::vector<float>(frames));
    const std::vector<float*> outputs{buffers[0].data(), buffers[1].data()};
    std::deque<MidiMessage> chord;
    for (int v = 0; v < voices; ++v) {
        chord.push_back(Lumora::Testing::noteOn(48 + 3 * v));
    }
    const std::deque<MidiMessage> none;
    instrument.audioProcess({}, outputs, frames, TestInstrument::kSampleRate, instrument.clock, chord);

    for (auto _ : state) {
        instrument.audioProcess({}, outputs, frames, TestInstrument::kSampleRate, instrument.clock, none);
        benchmark::DoNotOptimize(buffers[0].data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * frames);
}

// Every block a new note that steals the oldest voice, which then fades.
void renderWithStealing(benchmark::State& state) {
    const auto frames = static_cast<unsigned>(state.range(0));
    TestInstrument instrument(TestSetup{.shape = TestVoice::Shape::Sine, .level = 0.1f});
    instrument.allocateRenderResources(TestInstrument::kSampleRate);

    std::vector<std::vector<float>> buffers(2, std::vector<float>(frames));
    const std::vector<float*> outputs{buffers[0].data(), buffers[1].data()};
    std::vector<std::deque<MidiMessage>> blocks;
    for (int n = 36; n < 96; ++n) {
        blocks.push_back({Lumora::Testing::noteOn(n)});
    }
    size_t next = 0;
    for (auto _ : state) {
        instrument.audioProcess({}, outputs, frames, TestInstrument::kSampleRate, instrument.clock,
                                blocks[next]);
        next = (next + 1) % blocks.size();
        benchmark::DoNotOptimize(buffers[0].data());
    }
    state.SetItemsProcessed(state.iterations() * frames);
}

} // namespace

BENCHMARK(renderVoices)->ArgsProduct({{64, 128, 512}, {1, 4, 8}});
BENCHMARK(renderWithStealing)->Arg(64)->Arg(128)->Arg(512);
