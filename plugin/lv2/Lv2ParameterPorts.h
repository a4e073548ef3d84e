#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/parameter/Parameter.h"

namespace Lumora {
class ParameterManager;
}

namespace Lumora::Lv2 {

// One input control port of the plug-in: a host-visible engine parameter in concrete units
// (integers as integers, switches as 0 or 1), so that a host shows and automates the values a
// musician reads on the editor rather than the audio unit's normalized ones.
struct Lv2ParameterPort {
    enum class Kind { Real, Integer, Toggle };

    unsigned index = 0;      // the LV2 port index
    int parameterId = 0;     // the engine parameter's id, the audio unit's address
    Parameter::Type type = Parameter::Type::UFloat;
    Kind kind = Kind::Real;
    std::string symbol;      // unique, [A-Za-z_][A-Za-z0-9_]*
    std::string name;
    float minimum = 0.0f;
    float maximum = 1.0f;
    float defaultValue = 0.0f;

    // A host's port value as the audio unit's normalized value, clamped to the port's range; a
    // value that is not a number answers the default.
    float normalizedFromPort(float portValue) const;
    // The normalized value as the port shows it.
    float portFromNormalized(float normalized) const;
};

// The ports of every parameter the audio unit publishes to hosts (not hidden from the host), in
// ascending id order from kFirstParameterPort on. The bundle's Turtle and a running instance
// both take the list from here, so their port indexes agree.
std::vector<Lv2ParameterPort> describeParameterPorts(ParameterManager const& manager);

// A port symbol from a serialized name: lower case, every other character an underscore, never
// starting with a digit; a symbol already in taken gets "_<id>" appended.
std::string portSymbol(std::string const& serializedName, int id, std::vector<std::string> const& taken);

} // namespace Lumora::Lv2
