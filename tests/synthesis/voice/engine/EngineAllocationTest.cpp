// Once render resources are allocated for the largest block, rendering allocates nothing: notes
// starting, stealing and ending, all effects running, blocks of every size up to that maximum.
#include <gtest/gtest.h>

#include "EngineFixture.h"

#include "common/CountingAllocator.h"

using namespace EngineTest;

TEST(CorvaneEngineAllocation, RenderingAllocatesNothingOnceResourcesAreAllocated) {
    EngineRig rig(512);
    rig.set(11100, 0.5f);
    rig.set(11200, 0.5f);
    rig.set(11400, 0.5f);
    rig.set(10303, 0.3f);
    rig.set(10400, 0.5f); // resonator
    rig.set(10212, 0.5f); // sub oscillator
    rig.set(10204, 0.5f); // FM

    // Twelve notes against eight voices: stealing and fades; then all of them end.
    std::deque<Lumora::MidiMessage> on;
    std::deque<Lumora::MidiMessage> off;
    for (int i = 0; i < 12; ++i) {
        on.emplace_back(0x90, 48 + 3 * i, 100);
        off.emplace_back(0x80, 48 + 3 * i, 0);
    }
    const std::deque<Lumora::MidiMessage> none;
    const auto cycle = [&] {
        const unsigned sizes[] = {512, 64, 128, 333, 1, 512};
        rig.renderBlock(512, on);
        for (unsigned n : sizes) rig.renderBlock(n, none);
        rig.renderBlock(256, off);
        for (int i = 0; i < 20; ++i) rig.renderBlock(512, none);
    };
    // No warm-up: the first notes after allocation already find every buffer sized.
    counting = true;
    for (int i = 0; i < 3; ++i) cycle();
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}

// An engine prepared for blocks shorter than a control span still renders the spans it gathers
// short calls into while it sleeps, and what wakes it (a volume change, a note) without allocating.
TEST(CorvaneEngineAllocation, GatheredSpansOfAnEnginePreparedForShortBlocksAllocateNothing) {
    constexpr unsigned kShort = 32;
    EngineRig rig(kShort);
    rig.set(11200, 0.5f);
    const std::deque<Lumora::MidiMessage> none;
    // Past the chain's rest: nothing has sounded, so it sleeps from there on.
    for (uint64_t done = 0; done < (1u << 18) + 4096; done += kShort) rig.renderBlock(kShort, none);
    ASSERT_TRUE(rig.engine().instrument().effectChainResting());

    const std::deque<Lumora::MidiMessage> on{Lumora::MidiMessage(0x90, 60, 100)};
    const std::deque<Lumora::MidiMessage> off{Lumora::MidiMessage(0x80, 60, 0)};
    counting = true;
    rig.set(2200, 0.3f); // the common volume, changed in the silence
    for (int i = 0; i < 40; ++i) rig.renderBlock(kShort, none);
    rig.renderBlock(kShort, on);
    for (int i = 0; i < 40; ++i) rig.renderBlock(kShort, none);
    rig.renderBlock(kShort, off);
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}
