// The texts the bundle's Turtle is made of: port symbols LV2 accepts, literals that survive
// any name, numbers that read back as the same float.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "plugin/lv2/Lv2ParameterPorts.h"
#include "plugin/lv2/Lv2Turtle.h"

using namespace Lumora::Lv2;

TEST(Lv2Turtle, PortSymbolsAreValidAndUnique) {
    struct Case {
        char const* serializedName;
        std::vector<std::string> taken;
        char const* symbol;
    };
    for (Case const& c : std::vector<Case>{
             {"MASTER_TRANSPOSE", {}, "master_transpose"},
             {"OSC1 WAVE-TYPE", {}, "osc1_wave_type"},
             {"3BAND_EQ", {}, "p3band_eq"},
             {"", {}, "p"},
             {"FILTER\xC3\xA9", {}, "filter__"},
             {"VOLUME", {"volume"}, "volume_42"},
         }) {
        EXPECT_EQ(portSymbol(c.serializedName, 42, c.taken), c.symbol) << c.serializedName;
    }
}

TEST(Lv2Turtle, StringsAreEscapedAndNumbersReadBack) {
    EXPECT_EQ(turtleString("Pitch Bend Range (-)"), "\"Pitch Bend Range (-)\"");
    EXPECT_EQ(turtleString("a \"b\" \\ c\nd\te\x01"), "\"a \\\"b\\\" \\\\ c\\nd\\te\\u0001\"");

    EXPECT_EQ(turtleNumber(1.0f), "1.0");
    EXPECT_EQ(turtleNumber(-12.0f), "-12.0");
    EXPECT_EQ(turtleNumber(std::numeric_limits<float>::quiet_NaN()), "0.0");
    EXPECT_EQ(turtleNumber(std::numeric_limits<float>::infinity()), "0.0");
    for (float v : {0.1f, 1.0f / 3.0f, 1e-7f, 0.75f, 123456.789f})
        EXPECT_EQ(std::strtof(turtleNumber(v).c_str(), nullptr), v) << turtleNumber(v);
}

TEST(Lv2Turtle, PortValuesMapToTheEnginesNormalizedValues) {
    Lv2ParameterPort transpose;
    transpose.type = Lumora::Parameter::Type::SInt;
    transpose.minimum = -12.0f;
    transpose.maximum = 12.0f;
    transpose.defaultValue = 0.0f;
    EXPECT_FLOAT_EQ(transpose.normalizedFromPort(7.0f), 71.0f / 127.0f);
    EXPECT_EQ(transpose.portFromNormalized(transpose.normalizedFromPort(7.0f)), 7.0f);
    // Out of range and not a number: clamped, and the default.
    EXPECT_EQ(transpose.portFromNormalized(transpose.normalizedFromPort(40.0f)), 12.0f);
    EXPECT_EQ(transpose.portFromNormalized(transpose.normalizedFromPort(std::nanf(""))), 0.0f);
}
