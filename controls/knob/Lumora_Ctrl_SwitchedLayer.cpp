#include "controls/knob/Lumora_Ctrl_SwitchedLayer.h"

#include "engine/parameter/TypedParameters.h"

namespace Lumora_SwitchPositions {

int32_t calcSwitchPosition(float v, float r, int32_t n)
{
    double const value = v;
    double const spacing = r;
    if (value < spacing / 2)
        return 0;
    if (value > 1 - spacing / 2)
        return n - 1;
    for (int32_t i = 1; i <= n - 2; ++i)
        if (value < (i + 0.5) * spacing)
            return i;
    // Exactly on the boundary below the last position (or on 0.5 with two positions).
    return n - 1;
}

namespace {

// Positions of a concrete integer range, counted in 64 bits so that no range overflows.
int32_t positionCount(int64_t min, int64_t max)
{
    return static_cast<int32_t>(std::clamp<int64_t>(max - min + 1, INT32_MIN, INT32_MAX));
}

} // namespace

Configuration configurationFor(Lumora::Parameter const& parameter)
{
    using Type = Lumora::Parameter::Type;
    Configuration c;
    switch (parameter.type()) {
    case Type::SInt:
        c.isBipole = true;
        c.isSwitched = true;
        if (auto const* p = dynamic_cast<Lumora::Parameter_SInt const*>(&parameter))
            c.numOfSwitches = positionCount(p->minValue(), p->maxValue());
        break;
    case Type::UInt:
        c.isSwitched = true;
        if (auto const* p = dynamic_cast<Lumora::Parameter_UInt const*>(&parameter)) {
            c.numOfSwitches = positionCount(p->minValue(), p->maxValue());
            // Position 0 stands for the minimum, so that the last position reaches the maximum.
            c.switchOffset = static_cast<int32_t>(std::min<uint32_t>(p->minValue(), 127));
        }
        break;
    case Type::SFloat:
        c.isBipole = true;
        break;
    case Type::UFloat:
        break;
    case Type::Bool:
        c.numOfSwitches = 2;
        c.snapOptions = 6;
        c.snap = 0.5f;
        break;
    }
    return c;
}

} // namespace Lumora_SwitchPositions
