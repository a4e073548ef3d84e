#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "linkkit/ABLLink.h"
#include "linkkit/ABLHostClock.h"
#include "common/TestIsolation.h"

// Counts the allocations of the thread that plays the render thread here; Link's own
// threads may allocate as they like.
namespace {
thread_local bool counting = false;
thread_local long allocations = 0;
}

void* operator new(std::size_t size)
{
    if (counting)
        ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(LinkRenderAllocation, RenderCyclesAllocateNothing)
{
    TestIsolation::useTestDataHome();
    if (!TestIsolation::enterPrivateLoopbackNetwork())
        GTEST_SKIP() << "no private network namespace here; Link sessions are only run inside one";
    ABLLink* link = ABLLinkNew(120.0);

    counting = true;
    double beats = 0.0;
    for (int cycle = 0; cycle < 2000; ++cycle) {
        auto* state = ABLLinkCaptureRenderState(link);
        auto const now = ABLHostClock::ticks();
        if (cycle % 100 == 0)
            ABLLinkRenderStateChangeTempo(state, now, 90.0 + cycle / 100);
        ABLLinkCommitRenderState(link, state);
        beats += ABLLinkRenderStateTempo(state) + ABLLinkRenderStateBeatAt(state, now, 4.0);
        ABLLinkUserEnabled(link);
    }
    counting = false;

    EXPECT_EQ(allocations, 0);
    EXPECT_GT(beats, 0.0);
    ABLLinkDelete(link);
}
