#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "MidiFxTestSupport.h"
#include "engine/midifx/Arpeggiator.h"
#include "engine/midifx/ArpeggiatorData.h"
#include "engine/midifx/KeyboardHolder.h"

#include "common/CountingAllocator.h"

using namespace MidiFxTest;
using Lumora::ArpeggiatorData;
using Lumora::MIDI::Arpeggiator;
using Lumora::MIDI::HeldNoteObserver;
using Lumora::MIDI::KeyboardHolder;

namespace {
struct NullObserver : HeldNoteObserver {
    int count = 0;
    void heldNoteChanged(int, int) override { ++count; }
};
} // namespace

TEST(MidiFxAllocationTest, BlocksAllocateNothingOnceSetUp) {
    // Counted from the set-up on, so that the counter is shown to see allocations at all.
    counting = true;
    KeyboardHolder holder;
    Arpeggiator arp(16);
    ArpeggiatorData data;
    ClockRun clocks(128);
    NullObserver observer;

    // Every block's input is made before counting starts: chords, releases, controllers.
    std::mt19937 random(7);
    std::vector<MidiQueue> inputs(4000);
    for (MidiQueue& in : inputs) {
        for (int k = static_cast<int>(random() % 6); k > 0; --k) {
            int const note = 36 + static_cast<int>(random() % 48);
            in.push_back(random() % 2 ? on(note, 1 + static_cast<int>(random() % 127)) : off(note));
        }
        if (random() % 10 == 0) {
            in.push_back(cc(1, static_cast<int>(random() % 128)));
        }
    }

    auto run = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            switch (i % 97) {
            case 10: holder.activate(false); break;
            case 20: holder.activate(true); break;
            case 30: holder.setMode(static_cast<unsigned>(i % 2)); break;
            case 40: arp.activate(false); break;
            case 50: arp.activate(true); break;
            case 60: data.style = static_cast<unsigned>(i % 6); break;
            case 70: data.octaves = static_cast<unsigned>(i % 3); break;
            case 80: holder.allNotesOff(); arp.allNotesOff(); break;
            default: break;
            }
            data.syncToKeyOn = (i / 500) % 2 == 1;
            Lumora::Clock const& groove = clocks.begin();
            data.setupArpeggiator(arp);
            MidiQueue const& held = holder.process(inputs[i], clocks.clock());
            holder.drainChangedHeldNotes(observer);
            arp.process(held, groove);
            clocks.end();
        }
    };

    run(0, 100);
    long const before = allocations.load();
    ASSERT_GT(before, 0) << "the counter sees the set-up's allocations";
    run(100, inputs.size());
    EXPECT_EQ(allocations.load() - before, 0);
    counting = false;
    EXPECT_GT(observer.count, 0);
}
