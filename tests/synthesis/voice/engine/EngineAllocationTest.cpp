// Once render resources are allocated for the largest block, rendering allocates nothing: notes
// starting, stealing and ending, all effects running, blocks of every size up to that maximum.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "EngineFixture.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
} // namespace

void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

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
