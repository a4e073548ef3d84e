#pragma once

#include <cmath>

// Conversions shared by the reverb's stages.
namespace Lumora::DSPv2::ReverbMath {

// A product of the room's travel time and a stage ratio as whole samples: truncated, negative or
// NaN giving 0, and never beyond max (so that the conversion to an integer stays defined).
inline unsigned samples(float product, float max)
{
    if (!(product > 0.0f))
        return 0;
    return static_cast<unsigned>(product < max ? product : max);
}

// v when finite, otherwise fallback.
inline float finiteOr(float v, float fallback)
{
    return std::isfinite(v) ? v : fallback;
}

} // namespace Lumora::DSPv2::ReverbMath
