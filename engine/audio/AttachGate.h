#pragma once

#include <atomic>

namespace Lumora {

// The gate between render calls and the attachment of an audio I/O object, which replaces the
// parameter blocks a render call reads. The render thread only tries it (try_lock) and renders
// silence when it is taken; the attaching thread waits (lock) until the running call has left.
// A render call pays one atomic exchange and one store, where a mutex cost a library call each
// way: at 32-frame blocks that was a good part of an idle call.
// Meets the Lockable requirements, so std::unique_lock and std::lock_guard take it.
class AttachGate {
public:
    bool try_lock() noexcept { return !taken_.exchange(true, std::memory_order_acquire); }
    void unlock() noexcept { taken_.store(false, std::memory_order_release); }
    // Never on the render thread: yields until the gate is free. A render call holds it for one
    // call at most.
    void lock() noexcept;

private:
    std::atomic<bool> taken_{false};
};

} // namespace Lumora
