#pragma once

#include <algorithm>
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

// a after n additions a += step, bit for bit as that loop leaves it, in a few operations for each
// binade a passes through. The floats of one exponent lie u apart, and a sum that stays at least u
// inside their binade rounds to the multiple of u nearest to it: each addition adds the same k u,
// k = step / u rounded. Where step / u lies half-way between two integers the sum rounds to the
// even mantissa: from an even one, every addition adds the even one of the two, k again. A run of
// such additions is one integer addition to the mantissa. An addition that would come near the
// binade's edge, a tie from an odd mantissa, and any addition from a zero, a denormal, a number
// not finite or one so small that a denormal step could round to a whole u, is done as the loop
// does it.
inline float addRepeatedly(float a, float step, unsigned n)
{
    constexpr std::int64_t kInnerLow = (std::int64_t{1} << 23) + 1; // mantissas at least u from the edges
    constexpr std::int64_t kInnerHigh = (std::int64_t{1} << 24) - 1;
    constexpr std::uint32_t kSmallestExponent = 48; // u >= 2^-102: a denormal step is below u / 2^24
    while (n > 0) {
        std::uint32_t bits;
        std::memcpy(&bits, &a, sizeof bits);
        const std::uint32_t exponent = (bits >> 23) & 0xFFu;
        // step / u, exact: a scaling by the power of two 2^(150 - exponent).
        const std::uint32_t scaleBits = (277u - exponent) << 23;
        float scale;
        std::memcpy(&scale, &scaleBits, sizeof scale);
        const float q = step * scale;
        std::int64_t runs = 0;
        std::int64_t k = 0;
        std::int64_t mantissa = static_cast<std::int64_t>((bits & 0x7FFFFFu) | 0x800000u);
        // In double, which holds q and q +- 0.5 exactly; the casts truncate.
        const double d = q;
        const bool usable = exponent >= kSmallestExponent && exponent < 0xFFu && std::fabs(d) < 16777216.0;
        const bool tie = usable && std::fabs(d - static_cast<double>(static_cast<std::int64_t>(d))) == 0.5;
        if (usable && (!tie || (mantissa & 1) == 0)) {
            // Counted on the magnitude: rounding to nearest is the same on both sides of zero.
            const double magnitudeStep = (bits >> 31) != 0 ? -d : d;
            if (tie) {
                const auto below = static_cast<std::int64_t>(std::floor(magnitudeStep));
                k = (below & 1) == 0 ? below : below + 1;
            } else {
                k = static_cast<std::int64_t>(magnitudeStep + (magnitudeStep < 0.0 ? -0.5 : 0.5));
            }
            if (k > 0)
                runs = (kInnerHigh - mantissa) / k;
            else if (k < 0)
                runs = mantissa >= kInnerLow ? (mantissa - kInnerLow) / -k : 0;
            else
                runs = mantissa >= kInnerLow && mantissa <= kInnerHigh ? n : 0;
        }
        if (runs == 0) {
            a += step;
            --n;
            continue;
        }
        runs = std::min<std::int64_t>(runs, n);
        mantissa += runs * k;
        bits = (bits & 0xFF800000u) | (static_cast<std::uint32_t>(mantissa) & 0x7FFFFFu);
        std::memcpy(&a, &bits, sizeof a);
        n -= static_cast<unsigned>(runs);
    }
    return a;
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
