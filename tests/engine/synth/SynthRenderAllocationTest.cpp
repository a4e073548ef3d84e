#include <gtest/gtest.h>

#include "engine/synth/SynthTestSupport.h"

#include "common/CountingAllocator.h"

using namespace Lumora;
using namespace SynthTest;
using Common = iSynthAudioEngine::SynthCommonParameters::Common;

// Once render resources exist and the queues have room, a synth block allocates nothing:
// not for the MIDI effects' queues, the common parameters, the held-note reports or the
// instrument, with the key holder and the arpeggiator switching on and off.
TEST(SynthRenderAllocation, SteadyStateBlocksAllocateNothing) {
    SynthRig rig;
    rig.engine.set(Common::Portamento, 0.3f);
    const std::vector<float*> outputs = {rig.left.data(), rig.right.data()};
    const SyncInformation sync;
    auto cycle = [&](int i, bool count) {
        Deque midi;
        if (i % 16 == 0) midi = {noteOn(60 + i % 5), noteOn(67)};
        if (i % 16 == 8) midi = {noteOff(60 + (i - 8) % 5), noteOff(67)};
        if (i % 64 == 40) midi = {MidiMessage(0xB0, 123, 0)};
        rig.engine.set(Common::KeyboardHold, (i / 32) % 2 ? 1.0f : 0.0f);
        rig.engine.set(Common::Arpeggiator, (i / 48) % 2 ? 1.0f : 0.0f);
        counting = count;
        rig.io->renderBlock({}, outputs, kFrames, kRate, midi, sync);
        counting = false;
        rig.midi.dispatch();
        rig.notes.dispatch();
        rig.midi.received.clear();
        rig.notes.received.clear();
    };
    for (int i = 0; i < 400; ++i) cycle(i, false);  // warm up: every container reaches its size
    rig.midi.received.reserve(256);
    rig.notes.received.reserve(256);
    for (int i = 400; i < 1200; ++i) cycle(i, true);
    EXPECT_EQ(allocations.load(), 0);
}
