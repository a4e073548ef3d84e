#include <benchmark/benchmark.h>

#include <vector>

#include "engine/clock/Clock.h"
#include "engine/clock/GrooveClockAdapter.h"
#include "engine/midifx/Arpeggiator.h"
#include "engine/midifx/ArpeggiatorData.h"
#include "engine/midifx/KeyboardHolder.h"

namespace {

// One engine block of the MIDI effect chain: settings pushed into the arpeggiator, the key
// holder, then the arpeggiator on the swung clock, with a chord held and a key now and then.
void BM_EffectChainBlock(benchmark::State& state) {
    unsigned const blockSize = static_cast<unsigned>(state.range(0));
    Lumora::MIDI::KeyboardHolder holder;
    holder.setMode(Lumora::MIDI::KeyboardHolder::Latch);
    Lumora::MIDI::Arpeggiator arp(16);
    Lumora::ArpeggiatorData data;
    data.octaves = 2;
    data.swing = 0.5f;
    Lumora::Clock clock;
    Lumora::GrooveClockAdapter groove;

    Lumora::MidiQueue const chord = {Lumora::MidiMessage(0x90, 0, 60, 100), Lumora::MidiMessage(0x90, 0, 64, 100),
                                     Lumora::MidiMessage(0x90, 0, 67, 100), Lumora::MidiMessage(0x90, 0, 71, 100)};
    Lumora::MidiQueue const empty;
    unsigned long block = 0;
    for (auto _ : state) {
        clock.internalSync_pre(Lumora::TimeSignature{}, 140.0, block == 0);
        groove.process(&clock, data.swing, 0.0);
        data.setupArpeggiator(arp);
        Lumora::MidiQueue const& held = holder.process(block % 256 == 0 ? chord : empty, clock);
        holder.changedHeldNotes().clear();
        benchmark::DoNotOptimize(arp.process(held, groove).size());
        clock.internalSync_post(blockSize, 48000.0f);
        ++block;
    }
}
BENCHMARK(BM_EffectChainBlock)->Arg(64)->Arg(512);

} // namespace
