// Old keys of stored sound texts turned into the current common parameters.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"
#include "synthesis/voice/parameters/Parameters.h"
#include "synthesis/voice/parameters/ParametersConverter.h"

namespace Lumora::Corvane {
namespace {

using Pairs = ParameterConverter::Pairs;

struct ConvertCase {
    const char* key;
    const char* value;
    bool converted;
    Pairs pairs;
};

TEST(ParametersConverter, ConvertsOnlyTheTwoOldKeys) {
    const std::vector<ConvertCase> cases = {
        {"COMMON_MONOPHONIC", "1", true, {{"COMMON_MONOMODE", "0.007874"}}},
        {"COMMON_MONOPHONIC", "1.000000", true, {{"COMMON_MONOMODE", "0.007874"}}},
        {"COMMON_MONOPHONIC", "0.25", true, {{"COMMON_MONOMODE", "0.007874"}}},
        {"COMMON_MONOPHONIC", "-3", true, {{"COMMON_MONOMODE", "0.007874"}}},
        {"COMMON_MONOPHONIC", "0", true, {{"COMMON_MONOMODE", "0.000000"}}},
        {"COMMON_MONOPHONIC", "0.000000", true, {{"COMMON_MONOMODE", "0.000000"}}},
        {"COMMON_MONOPHONIC", "-0", true, {{"COMMON_MONOMODE", "0.000000"}}},
        {"COMMON_MONOPHONIC", "1abc", true, {{"COMMON_MONOMODE", "0.007874"}}},
        {"COMMON_MONOPHONIC", "on", false, {}},
        {"COMMON_MONOPHONIC", "", false, {}},
        {"COMMON_MONOPHONIC", "nan", false, {}},
        {"PITCH_OCTAVE", "0.511811", true, {{"COMMON_OCTAVE", "0.511811"}}},
        {"PITCH_OCTAVE", "whatever", true, {{"COMMON_OCTAVE", "whatever"}}},
        {"common_monophonic", "1", false, {}},
        {"Pitch_Octave", "0.5", false, {}},
        {"COMMON_MONOPHONIC ", "1", false, {}},
        {"COMMON_MONOMODE", "0.007874", false, {}},
        {"OSC_LEVEL", "0.5", false, {}},
    };
    for (const ConvertCase& c : cases) {
        for (int version : {-1, 1, 2}) {
            SCOPED_TRACE(std::string(c.key) + " = " + c.value + " v" + std::to_string(version));
            Parameters::Converter converter;
            EXPECT_EQ(converter.convert(c.key, c.value, version), c.converted);
            EXPECT_EQ(converter.convertedParams, c.pairs);
        }
    }
}

// A sound manager as the engine builds it, with the two common parameters that the old keys
// now live in (made by the engine base in the product; made here with the same attributes).
class OldKeysInText : public ::testing::Test {
protected:
    static constexpr SerializeWhat kSoundWhat =
        SerializeWhat::SoundParameters | SerializeWhat::GlobalSettings;

    bool load(const std::string& text) {
        return manager.deserialize(SerializeWhat::SoundPreset, text, SerializeWhere::Document);
    }
    float monoMode() const { return monoModeParam.concreteValue(); }
    float octave() const { return octaveParam.concreteValue(); }

    Parameters::Converter converter;
    ParameterManager manager{"Corvane", 2, &converter};
    Parameters params{&manager};
    Parameter_SInt octaveParam{&manager, 2211, "Octave", "COMMON_OCTAVE", 0, -2, 2,
                               Parameter::Options::None, kSoundWhat, 0};
    Parameter_UInt monoModeParam{&manager, 2230, "MonoMode", "COMMON_MONOMODE", 0, 0, 2,
                                 Parameter::Options::None, kSoundWhat, 0};
};

TEST_F(OldKeysInText, MonophonicSwitchBecomesMonoMode) {
    EXPECT_TRUE(load("Corvane\tversion:2\nCOMMON_MONOPHONIC\t1\n"));
    EXPECT_EQ(monoMode(), 1.0f);
    EXPECT_TRUE(load("Corvane\tversion:2\nCOMMON_MONOPHONIC\t1.000000\n"));
    EXPECT_EQ(monoMode(), 1.0f);
    EXPECT_TRUE(load("Corvane\tversion:2\nCOMMON_MONOPHONIC\t0.000000\n"));
    EXPECT_EQ(monoMode(), 0.0f);
    // The headerless three-field lines of the oldest texts go through the same conversion.
    EXPECT_TRUE(load("COMMON_MONOPHONIC\tbool\t1\n"));
    EXPECT_EQ(monoMode(), 1.0f);
    EXPECT_TRUE(load("COMMON_MONOPHONIC\tbool\t0\n"));
    EXPECT_EQ(monoMode(), 0.0f);
}

TEST_F(OldKeysInText, PitchOctaveBecomesCommonOctave) {
    // +1 octave of the SInt -2..2 parameter: (1 + 64) / 127.
    EXPECT_TRUE(load("Corvane\tversion:2\nPITCH_OCTAVE\t0.511811\n"));
    EXPECT_EQ(octave(), 1.0f);
    EXPECT_TRUE(load("PITCH_OCTAVE\tsint\t-2\n"));
    EXPECT_EQ(octave(), -2.0f);
}

TEST_F(OldKeysInText, OldAndNewOctaveApplyInLineOrder) {
    EXPECT_TRUE(load("Corvane\tversion:2\nPITCH_OCTAVE\t0.511811\nCOMMON_OCTAVE\t0.496063\n"));
    EXPECT_EQ(octave(), -1.0f);
    EXPECT_TRUE(load("Corvane\tversion:2\nCOMMON_OCTAVE\t0.496063\nPITCH_OCTAVE\t0.511811\n"));
    EXPECT_EQ(octave(), 1.0f);
}

TEST_F(OldKeysInText, UnconvertibleLinesAreSkippedWithoutFailing) {
    monoModeParam.setValue(2, ParameterObserver::Token::ViewController, AutomationEventType::None);
    EXPECT_TRUE(load("Corvane\tversion:2\ncommon_monophonic\t1\nCOMMON_MONOPHONIC\toff\n"
                     "COMMON_MONOPHONIC\tnan\nOSC_LEVEL\t0.250000\n"));
    EXPECT_EQ(monoMode(), 0.0f); // the default, from the reset that precedes reading
    EXPECT_FLOAT_EQ(params.osc.level.normalizedValue(), 0.25f);
}

// A text restricted to another content leaves the common parameters alone even when it holds
// the old keys.
TEST_F(OldKeysInText, ConvertedKeysRespectTheContentMask) {
    octaveParam.setConcreteValue(2, ParameterObserver::Token::ViewController);
    EXPECT_TRUE(manager.deserialize(SerializeWhat::ArpeggiatorPart,
                                    "Corvane\tversion:2\nPITCH_OCTAVE\t0.488189\n",
                                    SerializeWhere::Document));
    EXPECT_EQ(octave(), 2.0f);
}

} // namespace
} // namespace Lumora::Corvane
