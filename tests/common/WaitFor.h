#pragma once

// Waiting in tests for what another thread or process does: polling a condition, or running the
// main loop while polling, each up to a timeout.

#include <chrono>
#include <thread>

#include "platform/foundation/RunLoop.h"

namespace TestWait {

// Waits up to the timeout for the condition, sleeping between looks.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Runs the main loop until the condition holds: notifications that other threads post arrive there.
template <typename Condition>
bool pumpUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return waitFor(
        [&] {
            Platform::RunLoop::main().runOnce();
            return condition();
        },
        timeout);
}

} // namespace TestWait
