#pragma once

#include <atomic>
#include <cstdint>

namespace Lumora::DSP {

// A small pseudo-random generator of two 32-bit words. One step: a ^= b; the output is the old b as
// a signed integer times 2^-31 (in [-1, 1)); then b += a (wrapping). From its seed the first outputs
// are about -0.12654 and 0.94013.
class XorAddGenerator {
public:
    static constexpr std::uint32_t kSeedA = 0x67452301u;
    static constexpr std::uint32_t kSeedB = 0xEFCDAB89u;

    constexpr XorAddGenerator() = default;
    constexpr XorAddGenerator(std::uint32_t a, std::uint32_t b) : a_(a), b_(b) {}

    float next()
    {
        const std::uint32_t out = b_;
        a_ ^= b_;
        b_ += a_;
        return static_cast<float>(static_cast<std::int32_t>(out)) * 4.656612873077393e-10f; // 2^-31
    }

    std::uint32_t a() const { return a_; }
    std::uint32_t b() const { return b_; }

    constexpr std::uint64_t packed() const { return (std::uint64_t(a_) << 32) | b_; }
    static constexpr XorAddGenerator fromPacked(std::uint64_t v)
    {
        return XorAddGenerator(static_cast<std::uint32_t>(v >> 32), static_cast<std::uint32_t>(v));
    }

    bool operator==(const XorAddGenerator&) const = default;

private:
    std::uint32_t a_ = kSeedA;
    std::uint32_t b_ = kSeedB;
};

// A process-wide generator state that several engines may draw from on several threads at once.
// The state is one atomic word: every draw takes its values from the shared sequence exactly once,
// so a single renderer sees the same sequence as with a plain generator, and two renderers never
// corrupt it. Lock-free; never blocks the render thread.
class SharedXorAddGenerator {
public:
    constexpr SharedXorAddGenerator() : state_(XorAddGenerator().packed()) {}

    SharedXorAddGenerator(const SharedXorAddGenerator&) = delete;
    SharedXorAddGenerator& operator=(const SharedXorAddGenerator&) = delete;

    // One step.
    float next()
    {
        std::uint64_t expected = state_.load(std::memory_order_relaxed);
        for (;;) {
            XorAddGenerator g = XorAddGenerator::fromPacked(expected);
            const float v = g.next();
            if (state_.compare_exchange_weak(expected, g.packed(), std::memory_order_relaxed))
                return v;
        }
    }

    // Runs fn(XorAddGenerator&) on a copy of the state, then stores the stepped copy back. Should another
    // thread have drawn in the meantime, fn runs again from the new state, so fn must be repeatable
    // (it may rewrite its output block, but must not carry its own state over from the failed attempt).
    template <class Fn>
    void draw(Fn&& fn)
    {
        std::uint64_t expected = state_.load(std::memory_order_relaxed);
        for (;;) {
            XorAddGenerator g = XorAddGenerator::fromPacked(expected);
            fn(g);
            if (state_.compare_exchange_weak(expected, g.packed(), std::memory_order_relaxed))
                return;
        }
    }

    XorAddGenerator load() const { return XorAddGenerator::fromPacked(state_.load(std::memory_order_relaxed)); }
    void store(const XorAddGenerator& g) { state_.store(g.packed(), std::memory_order_relaxed); }

private:
    std::atomic<std::uint64_t> state_;
};

// The state shared by the shaped noise sources, the random LFO shape and the pitch drift; seeded once
// at start and never reseeded.
extern SharedXorAddGenerator sharedGenerator;

} // namespace Lumora::DSP
