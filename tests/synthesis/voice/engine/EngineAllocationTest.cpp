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
