#include "synthesis/voice/parameters/ParametersConverter.h"

#include <cmath>
#include <optional>

#include "engine/parameter/NumberText.h"

namespace Lumora::Corvane {

namespace {

// The old switch was on for any non-zero value; mono mode 1 of the UInt 0..2 parameter is the
// normalized value 1/127.
std::optional<std::string> monoModeFromOldSwitch(const std::string& value) {
    const std::optional<float> old = NumberText::leadingFloat(value);
    // NaN is no setting: the line falls back to its own key, which nothing reads.
    if (!old || std::isnan(*old)) {
        return std::nullopt;
    }
    return NumberText::fixed6(*old == 0.0f ? 0.0f : 1.0f / 127.0f);
}

} // namespace

bool Parameters::Converter::convert(const std::string& name, const std::string& value, int) {
    if (name == "COMMON_MONOPHONIC") {
        const std::optional<std::string> monoMode = monoModeFromOldSwitch(value);
        if (!monoMode) {
            return false;
        }
        convertedParams.emplace_back("COMMON_MONOMODE", *monoMode);
        return true;
    }
    if (name == "PITCH_OCTAVE") {
        convertedParams.emplace_back("COMMON_OCTAVE", value);
        return true;
    }
    return false;
}

} // namespace Lumora::Corvane
