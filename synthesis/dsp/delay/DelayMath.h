#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Small helpers that every delay line shares: limits that also catch NaN, the loop-gain ceiling,
// denormal tests and the two-point read between neighbouring samples.
namespace Lumora::DSP::DelayMath {

// A feedback of exactly +-1 never loses energy, so a steady input would grow without bound; every
// recirculating path stays just below unity.
constexpr float kMaxLoopGain = 0.999f;

// x limited to [low, high]; NaN gives low.
inline float limit(float x, float low, float high)
{
    return x > low ? (x < high ? x : high) : low;
}

inline float loopGain(float feedback)
{
    return limit(feedback, -kMaxLoopGain, kMaxLoopGain);
}

inline bool isNonZeroDenormal(float x)
{
    return x != 0.0f && std::fabs(x) < FLT_MIN;
}

inline float flushDenormal(float x)
{
    return std::fabs(x) < FLT_MIN ? 0.0f : x;
}

// Whether a block holds only finite numbers. The magnitudes' bit patterns are compared as
// integers (NaN and infinity have the largest), which vectorises well.
inline bool allFinite(const float* x, std::size_t n)
{
    std::uint32_t largest = 0;
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t bits;
        std::memcpy(&bits, &x[i], sizeof bits);
        bits &= 0x7FFFFFFFu;
        largest = bits > largest ? bits : largest;
    }
    return largest < 0x7F800000u;
}

// Whether two floats are the same bit pattern (unlike ==, which takes -0 for 0 and never a NaN).
inline bool sameBits(float a, float b)
{
    std::uint32_t x;
    std::uint32_t y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

// Moves a linear glide (a struct with current and step) over frames samples by calling
// advance(glide) once a sample, as a line that runs would, but stops early: advance depends on
// the glide alone, so once a sample leaves it exactly as it found it (on its target, or with a
// step too small to move it) every later sample would too.
template <class Glide, class Advance>
inline void advanceGlide(Glide& glide, unsigned frames, Advance&& advance)
{
    for (unsigned n = 0; n < frames; ++n) {
        const float current = glide.current;
        const float step = glide.step;
        advance(glide);
        if (sameBits(current, glide.current) && sameBits(step, glide.step))
            return;
    }
}

// The sample delaySamples before the write position (delaySamples in [1, size]), linearly
// interpolated; the later neighbour's weight is limited to maxWeight. The position is computed
// relative to the write index, so it never loses precision and never leaves the buffer.
inline float readInterpolated(const float* buffer, std::uint32_t mask, std::uint32_t write, float delaySamples,
                              float maxWeight = 1.0f)
{
    const float size = static_cast<float>(mask) + 1.0f;
    const float position = limit(size - delaySamples, 0.0f, size - 1.0f);
    const auto whole = static_cast<std::uint32_t>(position);
    float f = position - static_cast<float>(whole);
    if (f > maxWeight)
        f = maxWeight;
    const std::uint32_t i = write + whole;
    return (1.0f - f) * buffer[i & mask] + f * buffer[(i + 1) & mask];
}

} // namespace Lumora::DSP::DelayMath
