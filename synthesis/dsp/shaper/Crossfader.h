#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

namespace Lumora::DSP {

// Equal-power crossfade of two inputs: wA = gainA sin((1 - p) pi/2)^curve, wB = gainB sin(p pi/2)^curve,
// with p the position limited to [0, 1]. Weights ramp (inclusively) across the block from the last
// block's weights. out may be a or b.
class Crossfader {
public:
    void process(float* out, const float* a, const float* b, unsigned n, float position, float gainA, float gainB,
                 float curve);
    void process(float* out, const float* a, const float* b, unsigned n, float position, float curve);
    void reset();
    // Whether a block at this position takes nothing from input b: b weighed nothing at the end of
    // the last block and weighs nothing here. The caller may then skip making b.
    bool ignoresB(float position) const;
    // Whether a block at this position and curve, with unit gains, leaves input a as it is: the last
    // block ended on weights 1 and 0 and these are the weights it worked out for them. Processing
    // in place on a then changes neither the signal nor the state, so the caller may skip it.
    bool passesA(float position, float curve) const
    {
        return lastA_ == 1.0f && lastB_ == 0.0f && cachedWeightA_ == 1.0f && cachedWeightB_ == 0.0f &&
               sameBits(position, cachedPosition_) && sameBits(curve, cachedCurve_) && sameBits(1.0f, cachedGainA_) &&
               sameBits(1.0f, cachedGainB_);
    }

    float lastWeightA() const { return lastA_; }
    float lastWeightB() const { return lastB_; }

private:
    // Equal bit patterns: -0 and 0 differ (a weight keeps the sign of its gain), NaN equals itself.
    static bool sameBits(float a, float b)
    {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        std::memcpy(&x, &a, sizeof x);
        std::memcpy(&y, &b, sizeof y);
        return x == y;
    }
    // The weights for a position, gains and curve: their sines and powers are the costliest part
    // of a short block, and most blocks ask for the same ones as the block before.
    void weights(float position, float gainA, float gainB, float curve, float& wA, float& wB);

    float lastA_ = -1.0f; // unset
    float lastB_ = -1.0f;
    // The inputs (compared bit for bit) and result of the last weights computed; they start as
    // those of position NaN with gains 0, whose weights are indeed 0.
    float cachedPosition_ = std::numeric_limits<float>::quiet_NaN();
    float cachedGainA_ = 0.0f;
    float cachedGainB_ = 0.0f;
    float cachedCurve_ = 0.0f;
    float cachedWeightA_ = 0.0f;
    float cachedWeightB_ = 0.0f;
};

} // namespace Lumora::DSP
