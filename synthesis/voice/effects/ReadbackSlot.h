#pragma once

#include <atomic>

namespace Lumora {
class Parameter;
}

namespace Lumora::Corvane::Module {

// A display value handed from the render thread to the thread that shows it. Writing a
// parameter takes the parameter's lock and, through its observers, the model's bridge lock,
// which the main thread holds while it updates screens; the render thread must never wait on
// that. So the render thread only stores the latest value here, lock-free, and a main-thread
// caller (the model's timer tick) moves it into the read-back parameter.
class ReadbackSlot {
public:
    // Render thread: the value of this block; an older unpublished value is replaced. Inline: the
    // effects and the shared LFOs store a value every block.
    void store(float value)
    {
        value_.store(value, std::memory_order_relaxed);
        fresh_.store(true, std::memory_order_release);
    }
    // The last stored value (0 before the first block).
    float value() const { return value_.load(std::memory_order_relaxed); }
    // Any thread but the render thread: writes a value stored since the last call into the
    // parameter with the engine read-back token. Answers whether there was one.
    bool publish(Parameter& parameter);

private:
    std::atomic<float> value_{0.0f};
    std::atomic<bool> fresh_{false};
};

} // namespace Lumora::Corvane::Module
