#include "engine/audio/AttachGate.h"

#include <thread>

namespace Lumora {

// Reads before it exchanges, so that the waiting thread does not take the cache line from the
// render thread on every turn.
void AttachGate::lock() noexcept {
    while (taken_.load(std::memory_order_relaxed) || !try_lock()) {
        std::this_thread::yield();
    }
}

} // namespace Lumora
