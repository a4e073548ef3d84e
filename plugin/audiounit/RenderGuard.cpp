#include "plugin/audiounit/RenderGuard.h"

#include <chrono>
#include <thread>

namespace Lumora::Apple::AudioUnit {

namespace {

// A render call lasts at most a block's time: the closer yields at first, then sleeps briefly so
// that a long wait does not hold a core.
constexpr int kYields = 64;
constexpr auto kNap = std::chrono::microseconds(50);

} // namespace

void RenderGuard::lock() {
    closers_.lock();
    closed_.store(true, std::memory_order_seq_cst);
    for (int waited = 0; rendering_.load(std::memory_order_seq_cst); ++waited) {
        if (waited < kYields)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(kNap);
    }
}

void RenderGuard::unlock() {
    closed_.store(false, std::memory_order_release);
    closers_.unlock();
}

} // namespace Lumora::Apple::AudioUnit
