#pragma once

#include <atomic>
#include <mutex>

namespace Lumora::Apple::AudioUnit {

// Keeps render calls and the work that replaces what they read (a state restore, a received
// program, render resources) apart, without the render thread ever waiting. Other threads take it
// as a lock: they wait for a render call in progress, and until they unlock every render call
// finds it closed and renders silence. The render thread only tries it, with two atomic operations
// instead of a mutex: it marks itself rendering, then looks whether the guard is closed, while a
// closer marks it closed, then looks whether a call renders; each pair is sequentially consistent,
// so at least one of the two sees the other.
class RenderGuard {
public:
    RenderGuard() = default;
    RenderGuard(RenderGuard const&) = delete;
    RenderGuard& operator=(RenderGuard const&) = delete;

    // Not on the render thread. One closer at a time; a render call in progress is waited for.
    void lock();
    void unlock();

    // Render thread: true when the call may render, and then leave() ends it. A call made while
    // another renders (a host never does that) is refused as well.
    bool tryEnter() {
        if (rendering_.exchange(true, std::memory_order_seq_cst))
            return false;
        if (closed_.load(std::memory_order_seq_cst)) {
            rendering_.store(false, std::memory_order_release);
            return false;
        }
        return true;
    }
    void leave() { rendering_.store(false, std::memory_order_release); }

    // A render call's hold of the guard for its scope.
    class Attempt {
    public:
        explicit Attempt(RenderGuard& guard) : guard_(guard), entered_(guard.tryEnter()) {}
        ~Attempt() {
            if (entered_)
                guard_.leave();
        }
        Attempt(Attempt const&) = delete;
        Attempt& operator=(Attempt const&) = delete;
        bool entered() const { return entered_; }

    private:
        RenderGuard& guard_;
        bool const entered_;
    };

private:
    std::mutex closers_;
    std::atomic<bool> closed_{false};
    std::atomic<bool> rendering_{false};
};

} // namespace Lumora::Apple::AudioUnit
