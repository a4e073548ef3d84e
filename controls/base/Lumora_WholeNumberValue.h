#pragma once

#include <cstdint>
#include <optional>

namespace Lumora {
class Parameter;
}

// What the controls that hold an unsigned whole number (picture states, switch selectors)
// share: the value's arithmetic, its 0..127 encoding and the bounds an integer parameter gives.
namespace Lumora_WholeNumberValue {

// A float as a whole number >= 0, truncated toward zero; a value that is not a number or not
// above 0 gives 0, and what does not fit saturates.
uint32_t toUnsigned(float value);

// The engine's unsigned integer encoding: clamp(value, 0, 127) / 127.
float normalizedFromValue(float value);
// The reverse: the nearest of 127 steps, halves away from zero; below 0 gives 0, above 1 127.
float valueFromNormalized(float normalized);

struct Bounds {
    uint32_t min;
    uint32_t max;
};
// The concrete bounds of a signed or unsigned integer parameter (a signed one's as unsigned);
// none for any other parameter or none at all.
std::optional<Bounds> integerBounds(Lumora::Parameter const* parameter);

} // namespace Lumora_WholeNumberValue
