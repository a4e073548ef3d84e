#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Lumora {

// Rewrites keys and values of older texts while a "Parameters" text is read.
class ParameterConverter {
public:
    using Pairs = std::vector<std::pair<std::string, std::string>>;

    virtual ~ParameterConverter() = default;
    // True means: apply convertedParams instead of the line as read. The manager empties the
    // list before every call.
    virtual bool convert(const std::string& name, const std::string& value, int version) = 0;

    Pairs convertedParams;
};

} // namespace Lumora
