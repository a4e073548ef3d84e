// LV2's run is the render thread: once the instance is active, cycles with notes, host positions
// and control-port changes allocate nothing.

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/CountingAllocator.h"
#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/lv2/support/Lv2TestHost.h"

using namespace Lv2Test;

TEST(Lv2RunAllocation, RunAllocatesNothingOnceActive) {
    useProgramTemporaryFolder();
    ScratchFolder home{true};
    World world;
    ASSERT_NE(world.plugin(), nullptr);
    Instance instance(world, 48000.0);
    ASSERT_TRUE(instance.valid());

    std::vector<std::vector<Event>> cycles;
    for (int i = 0; i < 64; ++i) {
        std::vector<Event> events;
        if (i % 8 == 0)
            events.push_back(Event::time(0, 90.0 + i, 1.0, i / 4, 0.5));
        events.push_back(Event::note(static_cast<std::uint32_t>(i * 13 % 256), static_cast<std::uint8_t>(40 + i % 30), 90));
        if (i % 3 == 0)
            events.push_back(Event::noteOff(200, static_cast<std::uint8_t>(40 + (i + 29) % 30)));
        cycles.push_back(std::move(events));
    }
    // Warm-up: the same cycles once, so that every voice and buffer has been used.
    for (auto const& events : cycles)
        instance.run(256, events);

    counting = true;
    allocations = 0;
    for (std::size_t i = 0; i < cycles.size(); ++i) {
        instance.setControl("common_volume", 0.3f + 0.005f * static_cast<float>(i));
        instance.run(i % 2 == 0 ? 256 : 1500, cycles[i]);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}
