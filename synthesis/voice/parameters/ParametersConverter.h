#pragma once

#include <string>

#include "engine/parameter/ParameterConverter.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora::Corvane {

// Turns the keys of older sound texts that no current parameter carries into current common
// parameters while a "Parameters" text is read:
//   "COMMON_MONOPHONIC" (a switch)  -> "COMMON_MONOMODE" 0 (poly) or 1 (mono)
//   "PITCH_OCTAVE"                  -> "COMMON_OCTAVE", value unchanged
// Keys are matched byte for byte; the document version does not matter.
class Parameters::Converter : public ParameterConverter {
public:
    bool convert(const std::string& name, const std::string& value, int version) override;
};

} // namespace Lumora::Corvane
