#pragma once

#include <string>
#include <vector>

#include "plugin/lv2/Lv2ParameterPorts.h"

namespace Lumora::Lv2 {

// A factory preset as the bundle lists it: the audio unit's preset number and name, and the
// port values its sound gives, so that a host's controls show the sound it recalls.
struct Lv2FactoryPreset {
    long number = 0;
    std::string name;
    std::vector<float> portValues; // one per parameter port, in port order
};

// The bundle's Turtle, written at build time from a running unit so that it always describes the
// engine's own parameters. The plug-in's ports carry the unit's start-up sound as their defaults.
std::string manifestTurtle(std::vector<Lv2FactoryPreset> const& presets);
std::string pluginTurtle(std::vector<Lv2ParameterPort> const& ports);
std::string presetsTurtle(std::vector<Lv2ParameterPort> const& ports, std::vector<Lv2FactoryPreset> const& presets);

// A Turtle string literal (quotes, backslashes and control characters escaped) and a decimal
// that Turtle reads as a number (always with a point or an exponent; never "nan" or "inf").
std::string turtleString(std::string const& text);
std::string turtleNumber(float value);

inline constexpr char const* kPresetsTurtle = "presets.ttl";

} // namespace Lumora::Lv2
