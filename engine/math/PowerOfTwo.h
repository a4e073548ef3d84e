#pragma once

#include <cmath>

namespace Lumora::Math {

// 2^x for a pitch or level shift that is most often exactly nothing: x = 0 (either sign) answers 1,
// which is what exp2 returns there, without the call. Multiplying by that 1 is exact, so a product
// of such factors is the same number either way.
inline float powerOfTwo(float x)
{
    return x == 0.0f ? 1.0f : std::exp2(x);
}

} // namespace Lumora::Math
