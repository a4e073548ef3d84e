#include "plugin/audiounit/RenderGuard.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

using Lumora::Apple::AudioUnit::RenderGuard;

// A closed guard refuses render calls, an open one takes one call at a time.
TEST(RenderGuard, RefusesCallsWhileClosedAndASecondCallAtOnce) {
    RenderGuard guard;
    {
        std::lock_guard closed(guard);
        RenderGuard::Attempt const refused(guard);
        EXPECT_FALSE(refused.entered());
    }
    RenderGuard::Attempt const first(guard);
    ASSERT_TRUE(first.entered());
    EXPECT_FALSE(guard.tryEnter());
}

// A closer waits for the render call in progress, and the call that follows finds the guard
// closed until the closer is done.
TEST(RenderGuard, ACloserWaitsForTheCallInProgress) {
    RenderGuard guard;
    ASSERT_TRUE(guard.tryEnter());
    std::atomic<bool> rendering{true};
    std::atomic<bool> closedDuringCall{false};
    std::atomic<bool> closed{false};
    std::atomic<bool> release{false};
    std::thread closer([&] {
        std::lock_guard lock(guard);
        closedDuringCall = rendering.load();
        closed = true;
        while (!release)
            std::this_thread::yield();
    });
    // Gives the closer the chance to get in under the call (it must not).
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    rendering = false;
    guard.leave();
    while (!closed)
        std::this_thread::yield();
    EXPECT_FALSE(guard.tryEnter());
    release = true;
    closer.join();
    EXPECT_FALSE(closedDuringCall);
    EXPECT_TRUE(guard.tryEnter());
    guard.leave();
}
