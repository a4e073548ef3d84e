#include "plugin/lv2/Lv2ParameterPorts.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "engine/parameter/ParameterManager.h"
#include "plugin/lv2/Lv2Uris.h"

namespace Lumora::Lv2 {

namespace {

Lv2ParameterPort::Kind kindOf(Parameter::Type type) {
    switch (type) {
    case Parameter::Type::SInt:
    case Parameter::Type::UInt:
        return Lv2ParameterPort::Kind::Integer;
    case Parameter::Type::Bool:
        return Lv2ParameterPort::Kind::Toggle;
    default:
        return Lv2ParameterPort::Kind::Real;
    }
}

} // namespace

float Lv2ParameterPort::normalizedFromPort(float portValue) const {
    float const concrete = std::isnan(portValue) ? defaultValue : std::clamp(portValue, minimum, maximum);
    return Parameter::concreteToNormalizedValue(type, concrete);
}

float Lv2ParameterPort::portFromNormalized(float normalized) const {
    return std::clamp(Parameter::normalizedToConcreteValue(type, normalized), minimum, maximum);
}

std::string portSymbol(std::string const& serializedName, int id, std::vector<std::string> const& taken) {
    // A symbol starts with a letter: an empty name or one that starts with a digit gets a "p".
    std::string symbol;
    symbol.reserve(serializedName.size() + 1);
    if (serializedName.empty() || std::isdigit(static_cast<unsigned char>(serializedName.front())) != 0)
        symbol.push_back('p');
    for (char c : serializedName) {
        auto const u = static_cast<unsigned char>(c);
        symbol.push_back(std::isalnum(u) != 0 && u < 0x80 ? static_cast<char>(std::tolower(u)) : '_');
    }
    if (std::find(taken.begin(), taken.end(), symbol) != taken.end()) {
        symbol.push_back('_');
        symbol.append(std::to_string(id));
    }
    return symbol;
}

std::vector<Lv2ParameterPort> describeParameterPorts(ParameterManager const& manager) {
    std::vector<Lv2ParameterPort> ports;
    std::vector<std::string> symbols;
    for (auto const& [id, parameter] : manager.getParameterMap()) {
        if (parameter == nullptr || id < 0 || parameter->hasOption(Parameter::Options::HiddenFromHost))
            continue;
        Lv2ParameterPort port;
        port.index = kFirstParameterPort + static_cast<unsigned>(ports.size());
        port.parameterId = id;
        port.type = parameter->type();
        port.kind = kindOf(port.type);
        port.symbol = portSymbol(parameter->serializedName(), id, symbols);
        port.name = parameter->displayName().empty() ? parameter->serializedName() : parameter->displayName();
        port.minimum = Parameter::normalizedToConcreteValue(port.type, parameter->normalizedMinValue());
        port.maximum = Parameter::normalizedToConcreteValue(port.type, parameter->normalizedMaxValue());
        if (port.maximum < port.minimum)
            std::swap(port.minimum, port.maximum);
        port.defaultValue = std::clamp(Parameter::normalizedToConcreteValue(port.type, parameter->defaultValue()),
                                       port.minimum, port.maximum);
        symbols.push_back(port.symbol);
        ports.push_back(std::move(port));
    }
    return ports;
}

} // namespace Lumora::Lv2
