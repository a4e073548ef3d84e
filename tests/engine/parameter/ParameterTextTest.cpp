#include <clocale>
#include <locale>
#include <string>

#include <gtest/gtest.h>

#include "engine/parameter/ParamTestSupport.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"

using namespace Lumora;
using Token = ParameterObserver::Token;
using Ev = AutomationEventType;
using Opt = Parameter::Options;
using ParamTest::RecordingObserver;

namespace {

constexpr SerializeWhat kSound = static_cast<SerializeWhat>(0x10100);
constexpr SerializeWhat kGlobal = SerializeWhat::GlobalSettings;
constexpr SerializeWhat kArp = SerializeWhat::ArpeggiatorPart;

// A small manager: ids deliberately out of order, one parameter of each kind of mask.
struct ParameterTextFixture : ::testing::Test {
    ParameterTextFixture() { manager.addObserver(&observer); }

    ParameterManager manager{"X", 2, nullptr};
    Parameter_UFloat volume{&manager, 5, "Volume", "VOLUME", 0.75f, 0, 1, Opt::None, kSound, 0};
    Parameter_SInt octave{&manager, 3, "Octave", "OCTAVE", 0, -2, 2, Opt::None, kSound, 0};
    Parameter_UInt quality{&manager, 9, "Quality", "QUALITY", 1, 0, 2, Opt::NoInitialize, kGlobal, 0};
    Parameter_Bool arpOn{&manager, 7, "Arp", "ARP_ON", false, Opt::None, kArp, 0};
    Parameter_UFloat hidden{&manager, 4, "Hidden", "HIDDEN", 0.5f, 0, 1, Opt::NoSerialize, kSound, 0};
    Parameter_UFloat locked{&manager, 6, "Locked", "LOCKED", 0.5f, 0, 1, Opt::NoDeserialize, kSound, 0};
    RecordingObserver observer;
};

} // namespace

TEST_F(ParameterTextFixture, WritesHeaderThenSelectedParametersInAscendingIdWithSixDecimals) {
    octave.setConcreteValue(1, Token::Mixed);
    volume.setNormalizedValue(0.1234567f, Token::Mixed, Ev::None);
    struct Case { SerializeWhat what; const char* text; };
    const Case cases[] = {
        {kSound,
         "X\tversion:2\nOCTAVE\t0.511811\nVOLUME\t0.123457\nLOCKED\t0.500000\nQUALITY\t0.007874\n"},
        {SerializeWhat::SoundParameters,
         "X\tversion:2\nOCTAVE\t0.511811\nVOLUME\t0.123457\nLOCKED\t0.500000\n"},
        {kArp, "X\tversion:2\nARP_ON\t0.000000\n"},
        {SerializeWhat::MicroTuningPart, ""},  // nothing selected: not even a header
    };
    for (const Case& c : cases) {
        EXPECT_EQ(manager.serialize(c.what, SerializeWhere::Document), c.text)
            << static_cast<uint32_t>(c.what);
    }
}

TEST_F(ParameterTextFixture, NumbersUseTheCLocaleWhateverTheProcessLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no decimal-comma locale installed";
    }
    std::locale::global(std::locale("de_DE.UTF-8"));
    volume.setNormalizedValue(0.25f, Token::Mixed, Ev::None);
    const std::string text = manager.serialize(kSound, SerializeWhere::Document);
    const bool ok = manager.deserialize(kSound, "X\tversion:2\nVOLUME\t0.625000\n",
                                        SerializeWhere::Document);
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(text.find("VOLUME\t0.250000\n"), std::string::npos) << text;
    EXPECT_TRUE(ok);
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.625f);
}

namespace {
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};
} // namespace

// Runs everywhere: a process-wide C++ locale whose decimal point is a comma.
TEST_F(ParameterTextFixture, NumbersIgnoreAGlobalCommaLocale) {
    std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    volume.setNormalizedValue(0.25f, Token::Mixed, Ev::None);
    const std::string text = manager.serialize(kSound, SerializeWhere::Document);
    const bool ok = manager.deserialize(kSound, "X\tversion:2\nVOLUME\t0.625000\n",
                                        SerializeWhere::Document);
    std::locale::global(std::locale::classic());
    EXPECT_NE(text.find("VOLUME\t0.250000\n"), std::string::npos) << text;
    EXPECT_TRUE(ok);
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.625f);
}

TEST_F(ParameterTextFixture, ReadsBackWhatItWrote) {
    octave.setConcreteValue(-2, Token::Mixed);
    volume.setNormalizedValue(0.3f, Token::Mixed, Ev::None);
    quality.setValue(2, Token::Mixed, Ev::None);
    const std::string text = manager.serialize(kSound, SerializeWhere::Document);
    octave.setConcreteValue(2, Token::Mixed);
    volume.setNormalizedValue(0.9f, Token::Mixed, Ev::None);
    quality.setValue(0, Token::Mixed, Ev::None);
    EXPECT_TRUE(manager.deserialize(kSound, text, SerializeWhere::Document));
    EXPECT_FLOAT_EQ(octave.concreteValue(), -2);
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.3f);
    EXPECT_FLOAT_EQ(quality.concreteValue(), 2);
}

TEST_F(ParameterTextFixture, TokenFollowsWhereTheTextComesFrom) {
    struct Case { SerializeWhere where; Token token; };
    const Case cases[] = {
        {SerializeWhere::Document, Token::Document},
        {SerializeWhere::InterAppHostState, Token::Document},
        {SerializeWhere::PluginHostState, Token::Host},
        {SerializeWhere::StateBackup, Token::Document},
    };
    for (const Case& c : cases) {
        volume.setNormalizedValue(0.9f, Token::Mixed, Ev::None);
        observer.reports.clear();
        EXPECT_TRUE(manager.deserialize(kSound, "X\tversion:2\nVOLUME\t0.1\n", c.where));
        ASSERT_FALSE(observer.reports.empty());
        for (const auto& r : observer.reports) {
            EXPECT_EQ(r.token, c.token) << static_cast<int>(c.where);
            EXPECT_EQ(r.event, Ev::None);
        }
    }
}

TEST_F(ParameterTextFixture, ReadingResetsUnmentionedParametersAndHonoursOptionsAndMask) {
    octave.setConcreteValue(2, Token::Mixed);
    volume.setNormalizedValue(0.1f, Token::Mixed, Ev::None);
    quality.setValue(2, Token::Mixed, Ev::None);
    locked.setNormalizedValue(0.2f, Token::Mixed, Ev::None);
    arpOn.setValue(true, Token::Mixed, Ev::None);
    // The header alone: every selected parameter back to its default, except NoInitialize.
    EXPECT_TRUE(manager.deserialize(kSound, "X\tversion:2\n", SerializeWhere::Document));
    EXPECT_FLOAT_EQ(octave.concreteValue(), 0);
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.75f);
    EXPECT_FLOAT_EQ(quality.concreteValue(), 2);
    EXPECT_FLOAT_EQ(locked.normalizedValue(), 0.5f);
    EXPECT_FLOAT_EQ(arpOn.normalizedValue(), 1.0f);  // outside the mask: untouched

    // NoDeserialize lines and lines of parameters outside the mask are ignored, yet count as read.
    EXPECT_TRUE(manager.deserialize(kSound, "X\tversion:2\nLOCKED\t0.9\nARP_ON\t0\nVOLUME\t0.2\n",
                                    SerializeWhere::Document));
    EXPECT_FLOAT_EQ(locked.normalizedValue(), 0.5f);
    EXPECT_FLOAT_EQ(arpOn.normalizedValue(), 1.0f);
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.2f);
}

TEST_F(ParameterTextFixture, LinesOfTheWrongShapeAndUnknownKeysAreSkipped) {
    struct Case { const char* text; bool ok; float volume; float octave; };
    const Case cases[] = {
        {"X\tversion:2\nNOPE\t0.1\nVOLUME\t0.2\n", true, 0.2f, 0},
        {"X\tversion:2\n\n\nVOLUME\t\t\t0.2\n\nOCTAVE\t0.511811", true, 0.2f, 1},
        {"X\tversion:2\nVOLUME\t0.2\textra\textra\nOCTAVE\n", true, 0.75f, 0},
        {"X\tversion:2\nVOLUME\tloud\nOCTAVE\t0.511811\n", false, 0.75f, 1},
        {"X\tkind:synth|version:3\nVOLUME\t0.2\n", true, 0.2f, 0},
    };
    for (const Case& c : cases) {
        volume.setNormalizedValue(0.9f, Token::Mixed, Ev::None);
        octave.setConcreteValue(-1, Token::Mixed);
        EXPECT_EQ(manager.deserialize(kSound, c.text, SerializeWhere::Document), c.ok) << c.text;
        EXPECT_FLOAT_EQ(volume.normalizedValue(), c.volume) << c.text;
        EXPECT_FLOAT_EQ(octave.concreteValue(), c.octave) << c.text;
    }
}

TEST_F(ParameterTextFixture, EmptyTextAndBadHeaderVersion) {
    volume.setNormalizedValue(0.9f, Token::Mixed, Ev::None);
    EXPECT_FALSE(manager.deserialize(kSound, "", SerializeWhere::Document));
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.9f);  // an empty text changes nothing

    for (const char* header : {"X\tversion:two\nVOLUME\t0.2\n", "X\tversion:\nVOLUME\t0.2\n",
                               "X\tversion:2.5\nVOLUME\t0.2\n"}) {
        volume.setNormalizedValue(0.9f, Token::Mixed, Ev::None);
        EXPECT_FALSE(manager.deserialize(kSound, header, SerializeWhere::Document)) << header;
        EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.9f) << header;  // refused whole: nothing is reset
    }
}

TEST_F(ParameterTextFixture, OldThreeFieldLines) {
    struct Case { const char* text; bool ok; float octave; float volume; float quality; };
    const Case cases[] = {
        // headerless old form: concrete values with their type word
        {"OCTAVE\tsint\t-2\nVOLUME\tufloat\t0.25\n", true, -2, 0.25f, 1},
        {"QUALITY\tuint\t200\n", true, 0, 0.75f, 2},  // clamped to the parameter's maximum
        {"OCTAVE\tfloat\t1\nVOLUME\tufloat\t0.25\n", false, 0, 0.25f, 1},
        {"VOLUME\tufloat\tnothing\n", false, 0, 0.75f, 1},
        // once a header was read, three-field lines are ignored
        {"X\tversion:2\nOCTAVE\tsint\t-2\nVOLUME\t0.25\n", true, 0, 0.25f, 1},
        // a header of another manager is an ordinary (unknown) line: old lines still count
        {"Y\tversion:2\nOCTAVE\tsint\t-2\n", true, -2, 0.75f, 1},
    };
    for (const Case& c : cases) {
        octave.setConcreteValue(1, Token::Mixed);
        volume.setNormalizedValue(0.9f, Token::Mixed, Ev::None);
        quality.setValue(1, Token::Mixed, Ev::None);
        EXPECT_EQ(manager.deserialize(kSound, c.text, SerializeWhere::Document), c.ok) << c.text;
        EXPECT_FLOAT_EQ(octave.concreteValue(), c.octave) << c.text;
        EXPECT_FLOAT_EQ(volume.normalizedValue(), c.volume) << c.text;
        EXPECT_FLOAT_EQ(quality.concreteValue(), c.quality) << c.text;
    }
}

namespace {

// Renames "OLD_VOLUME" to VOLUME and splits "BOTH" into two lines.
struct TestConverter : ParameterConverter {
    bool convert(const std::string& name, const std::string& value, int) override {
        if (name == "OLD_VOLUME") {
            convertedParams.emplace_back("VOLUME", value);
            return true;
        }
        if (name == "BOTH") {
            convertedParams.emplace_back("VOLUME", value);
            convertedParams.emplace_back("OCTAVE", "bad");
            return true;
        }
        return false;
    }
};

} // namespace

TEST(ParameterTextConverter, ConvertedPairsReplaceTheLine) {
    TestConverter converter;
    ParameterManager manager("X", 2, &converter);
    Parameter_UFloat volume(&manager, 5, "Volume", "VOLUME", 0.75f, 0, 1, Opt::None, kSound, 0);
    Parameter_SInt octave(&manager, 3, "Octave", "OCTAVE", 1, -2, 2, Opt::None, kSound, 0);
    EXPECT_TRUE(manager.deserialize(kSound, "X\tversion:2\nOLD_VOLUME\t0.125\n",
                                    SerializeWhere::Document));
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.125f);
    // Old lines go through the converter too, with their value already normalized.
    EXPECT_TRUE(manager.deserialize(kSound, "OLD_VOLUME\tufloat\t0.5\n", SerializeWhere::Document));
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.5f);
    // The line's answer is the AND of its pairs; a bad pair defaults its parameter.
    octave.setConcreteValue(-2, Token::Mixed);
    EXPECT_FALSE(manager.deserialize(kSound, "X\tversion:2\nBOTH\t0.25\n", SerializeWhere::Document));
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.25f);
    EXPECT_FLOAT_EQ(octave.concreteValue(), 1);
}

TEST_F(ParameterTextFixture, InitializeResetsSelectedParametersAndReportsEachChange) {
    octave.setConcreteValue(2, Token::Mixed);
    volume.setNormalizedValue(0.1f, Token::Mixed, Ev::None);
    quality.setValue(2, Token::Mixed, Ev::None);
    observer.reports.clear();
    manager.initialize(kSound, SerializeWhere::PluginHostState);
    EXPECT_FLOAT_EQ(octave.concreteValue(), 0);
    EXPECT_FLOAT_EQ(volume.normalizedValue(), 0.75f);
    EXPECT_FLOAT_EQ(quality.concreteValue(), 2);
    ASSERT_EQ(observer.reports.size(), 2u);
    EXPECT_EQ(observer.reports[0].param, &octave);
    EXPECT_EQ(observer.reports[1].param, &volume);
    EXPECT_EQ(observer.reports[0].token, Token::Host);
}
