#include <gtest/gtest.h>

#include "engine/audio/EngineTestSupport.h"

#include "common/CountingAllocator.h"

using namespace Lumora;
using namespace EngineTest;

// Once the block's MIDI deque and the observer queues have room, a render cycle allocates
// nothing: no strings, no temporary containers, no per-message copies on the heap.
TEST(RenderCycleAllocation, SteadyStateCyclesAllocateNothing) {
    TestEngine engine;
    TestAudioIO io(&engine);
    MidiRecorder midiObserver;
    NotificationRecorder notes;
    engine.addMidiNoteObserver(&midiObserver);
    engine.addNotificationObserver(&notes);
    engine.setMidiInChannel(1);

    std::vector<float> left(256), right(256);
    const std::vector<float*> outputs = {left.data(), right.data()};
    const std::deque<MidiMessage> midi = {
        MidiMessage(0x91, 60, 100), MidiMessage(0x90, 61, 100), MidiMessage(0xF8, 0, 0),
        MidiMessage(0xB1, 123, 0),  MidiMessage(0xC1, 3, 0),    MidiMessage(0x81, 60, 0),
    };
    SyncInformation sync;
    auto cycle = [&](int i) {
        sync.tempo = 100.0 + (i % 7);  // tempo changes: notifications every cycle
        sync.state = (i % 5 == 0) ? 2 : 0;
        sync.beatPosition = i * 0.3;
        engine.setMute(i % 3 == 0);
        io.renderBlock({}, outputs, 256, 48000.0f, midi, sync);
        // The screens' timer empties the queues, keeping their storage.
        midiObserver.dispatch();
        notes.dispatch();
        midiObserver.received.clear();
        notes.received.clear();
    };
    for (int i = 0; i < 50; ++i) cycle(i);  // warm up: every container reaches its size
    midiObserver.received.reserve(64);
    notes.received.reserve(64);

    counting = true;
    for (int i = 50; i < 250; ++i) cycle(i);
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_GT(engine.allNoteOffCalls, 200);
}

// The screens' timer runs 30 times a second; a busy tick (a chord of fast notes, a controller
// sweep) brings dozens of messages and notifications. The render thread's pushes reuse the
// queues' slots instead of growing them.
TEST(RenderCycleAllocation, BurstsBetweenDispatchesAllocateNothing) {
    TestEngine engine;
    MidiRecorder midiObserver;
    NotificationRecorder notes;
    engine.addMidiNoteObserver(&midiObserver);
    engine.addNotificationObserver(&notes);
    midiObserver.received.reserve(1024);
    notes.received.reserve(1024);

    std::deque<MidiMessage> burst;
    for (int i = 0; i < 100; ++i) burst.push_back(MidiMessage(0xB0, i, i));
    std::deque<MidiMessage> single = {MidiMessage(0x90, 60, 1)};

    counting = true;
    for (int tick = 0; tick < 3; ++tick) {
        for (int block = 0; block < 16; ++block) {
            engine.provideMidiMessage(block == 0 ? burst : single);
            engine.provideNotification(iAudioEngine::SixteenthTick, block);
        }
        counting = false;
        ASSERT_EQ(midiObserver.queued(), 115u);
        midiObserver.dispatch();
        notes.dispatch();
        counting = true;
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    ASSERT_EQ(midiObserver.received.size(), 3u * 115u);
    EXPECT_EQ(midiObserver.received[99], MidiMessage(0xB0, 99, 99));
    EXPECT_EQ(midiObserver.received[100], MidiMessage(0x90, 60, 1));
    EXPECT_EQ(notes.paramsOf(iAudioEngine::SixteenthTick).size(), 48u);
    EXPECT_EQ(midiObserver.queued(), 0u);
}
