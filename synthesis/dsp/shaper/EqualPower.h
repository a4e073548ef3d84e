#pragma once

#include <cmath>

namespace Lumora::DSP::EqualPower {

// sin(x pi/2)^curve: with curve 1 the squares of two complementary weights sum to 1 (equal power).
inline float weight(float x, float curve)
{
    const float s = std::sin(x * 1.5707963267948966f);
    // A negative base (pan outside [0, 1]) has no real fractional power; it weighs nothing, and so does
    // a weight that a NaN curve or position made meaningless.
    const float w = s > 0.0f ? std::pow(s, curve) : 0.0f;
    return std::isfinite(w) ? w : 0.0f;
}

// A gain that is not finite is taken as 0: it would carry NaN into every later block's ramp.
inline float finiteGain(float g)
{
    return std::isfinite(g) ? g : 0.0f;
}

// Positions limited to [0, 1]; NaN is taken as 0.
inline float limitPosition(float p)
{
    return p > 1.0f ? 1.0f : (p > 0.0f ? p : 0.0f);
}

} // namespace Lumora::DSP::EqualPower
