#include "controls/base/Lumora_WholeNumberValue.h"

#include "engine/parameter/TypedParameters.h"

#include <limits>

namespace Lumora_WholeNumberValue {

uint32_t toUnsigned(float value)
{
    // Computed in double: a float cannot hold the unsigned maximum, and converting a value at
    // or beyond it to an unsigned integer would be undefined.
    double const v = value;
    if (!(v > 0))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<uint32_t>::max()))
        return std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(v);
}

float normalizedFromValue(float value)
{
    return Lumora::Parameter::concreteToNormalizedValue(Lumora::Parameter::Type::UInt, value);
}

float valueFromNormalized(float normalized)
{
    return Lumora::Parameter::normalizedToConcreteValue(Lumora::Parameter::Type::UInt, normalized);
}

std::optional<Bounds> integerBounds(Lumora::Parameter const* parameter)
{
    if (auto const* p = dynamic_cast<Lumora::Parameter_SInt const*>(parameter))
        return Bounds{static_cast<uint32_t>(p->minValue()), static_cast<uint32_t>(p->maxValue())};
    if (auto const* p = dynamic_cast<Lumora::Parameter_UInt const*>(parameter))
        return Bounds{p->minValue(), p->maxValue()};
    return std::nullopt;
}

} // namespace Lumora_WholeNumberValue
