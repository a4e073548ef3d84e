#include <gtest/gtest.h>

#include <locale>
#include <string>

#include "engine/midifx/Arpeggiator.h"
#include "engine/midifx/ArpeggiatorData.h"

using Lumora::ArpeggiatorData;
using Lumora::MIDI::Arpeggiator;

namespace {

std::string defaultStepLines(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        lines += "1,0,0,0,0,0\n";
    }
    return lines;
}

std::string const kDefaultText = "2\n0\n0\n0\n0\n2\n0.5\n16\n8\n0.5\n0.5\n" + defaultStepLines(16);

class ArpeggiatorDataTest : public ::testing::Test {
protected:
    ArpeggiatorData data;
};

// A decimal comma everywhere a stream would ask the global locale.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

} // namespace

TEST_F(ArpeggiatorDataTest, DefaultsWriteTheVersion2Text) {
    data.style = 4;
    data.steps[3].program = -2;
    data.initialize();
    EXPECT_EQ(data.serialize(), kDefaultText);
}

TEST_F(ArpeggiatorDataTest, WrittenTextReadsBackToTheSameRecord) {
    data.syncToKeyOn = true;
    data.swing = 0.3f;
    data.style = 5;
    data.octaves = 2;
    data.rate = 1;
    data.gate = 0.125f;
    data.stepLength = 7;
    data.patternLength = 3;
    data.accentAmount = 1.0f / 3.0f;
    data.staccatoAmount = 0.0f;
    data.steps[0].active = false;
    data.steps[1].transpose = 12;
    data.steps[2].accent = true;
    data.steps[3].staccato = true;
    data.steps[4].portamento = true;
    data.steps[15].program = -7;

    std::string const text = data.serialize();
    std::string const head = "2\n1\n0.3\n5\n2\n1\n0.125\n7\n3\n0.333333\n0\n0,0,0,0,0,0\n1,12,0,0,0,0\n";
    EXPECT_EQ(text.substr(0, head.size()), head);

    ArpeggiatorData copy;
    ASSERT_TRUE(copy.deserialize(text));
    EXPECT_EQ(copy.serialize(), text);
    EXPECT_EQ(copy.steps[15].program, -7);
    EXPECT_TRUE(copy.steps[4].portamento);
}

TEST_F(ArpeggiatorDataTest, NumbersIgnoreTheProcessLocale) {
    std::locale const previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    data.gate = 0.75f;
    std::string const text = data.serialize();
    bool const read = data.deserialize("2\n0\n0.25\n");
    std::locale::global(previous);
    EXPECT_NE(text.find("\n0.75\n"), std::string::npos);
    EXPECT_TRUE(read);
    EXPECT_FLOAT_EQ(data.swing, 0.25f);
}

TEST_F(ArpeggiatorDataTest, Version1HasNoSyncOrSwingAndStoresLengthsMinusTwo) {
    data.syncToKeyOn = true;
    data.swing = 0.5f;
    std::string const text = "1\n2\n1\n0\n0.25\n14\n0\n0.1\n0.2\n0,3\n";
    ASSERT_TRUE(data.deserialize(text));
    EXPECT_TRUE(data.syncToKeyOn);
    EXPECT_FLOAT_EQ(data.swing, 0.5f);
    EXPECT_EQ(data.style, 2u);
    EXPECT_EQ(data.octaves, 1u);
    EXPECT_EQ(data.rate, 0u);
    EXPECT_FLOAT_EQ(data.gate, 0.25f);
    EXPECT_EQ(data.stepLength, 16u);
    EXPECT_EQ(data.patternLength, 2u);
    EXPECT_FLOAT_EQ(data.accentAmount, 0.1f);
    EXPECT_FLOAT_EQ(data.staccatoAmount, 0.2f);
    EXPECT_FALSE(data.steps[0].active);
    EXPECT_EQ(data.steps[0].transpose, 3);
}

TEST_F(ArpeggiatorDataTest, ReadingClampsEveryValue) {
    std::string const text = "2\n5\n-1\n9\n7\n-4\n3.5\n99\n1\n-0.5\n2e3\n"
                             "1,15\n1,-3\n7,2,9,-1,4,-123456\n";
    ASSERT_TRUE(data.deserialize(text));
    EXPECT_TRUE(data.syncToKeyOn);
    EXPECT_EQ(data.swing, 0.0f);
    EXPECT_EQ(data.style, 5u);
    EXPECT_EQ(data.octaves, 2u);
    EXPECT_EQ(data.rate, 0u);
    EXPECT_EQ(data.gate, 1.0f);
    EXPECT_EQ(data.stepLength, 16u);
    EXPECT_EQ(data.patternLength, 2u);
    EXPECT_EQ(data.accentAmount, 0.0f);
    EXPECT_EQ(data.staccatoAmount, 1.0f);
    EXPECT_EQ(data.steps[0].transpose, 12);
    EXPECT_EQ(data.steps[1].transpose, 0);
    EXPECT_TRUE(data.steps[2].active);
    EXPECT_EQ(data.steps[2].transpose, 2);
    EXPECT_TRUE(data.steps[2].accent && data.steps[2].staccato && data.steps[2].portamento);
    EXPECT_EQ(data.steps[2].program, -123456);
}

TEST_F(ArpeggiatorDataTest, AShortStepLineResetsTheRestOfItsStep) {
    data.steps[0].transpose = 5;
    data.steps[0].accent = true;
    data.steps[0].program = 3;
    ASSERT_TRUE(data.deserialize("2\n0\n0\n0\n0\n2\n0.5\n16\n8\n0.5\n0.5\n0"));
    EXPECT_FALSE(data.steps[0].active);
    EXPECT_EQ(data.steps[0].transpose, 0);
    EXPECT_FALSE(data.steps[0].accent);
    EXPECT_EQ(data.steps[0].program, 0);
}

TEST_F(ArpeggiatorDataTest, MissingLinesKeepTheirFieldsAndExtraLinesAreIgnored) {
    data.steps[2].transpose = 7;
    data.stepLength = 5;
    // The text ends after the style line: the rest keeps its values.
    ASSERT_TRUE(data.deserialize("2\n1\n0.5\n3"));
    EXPECT_EQ(data.style, 3u);
    EXPECT_EQ(data.stepLength, 5u);
    EXPECT_EQ(data.steps[2].transpose, 7);

    // Twenty step lines: the four beyond the sixteenth have no step and are skipped.
    std::string text = "2\n0\n0\n0\n0\n2\n0.5\n16\n8\n0.5\n0.5\n" + defaultStepLines(15) + "1,4\n";
    text += "0,1\n0,2\nnot a step\n0,3\n";
    ASSERT_TRUE(data.deserialize(text));
    EXPECT_EQ(data.steps[15].transpose, 4);
    EXPECT_TRUE(data.steps[15].active);
    EXPECT_EQ(data.steps[2].transpose, 0);
}

TEST_F(ArpeggiatorDataTest, BadTextsAnswerFalseKeepingWhatWasReadBefore) {
    struct Case {
        char const* text;
        char const* why;
    } const cases[] = {
        {"", "no line at all"},
        {"x\n0\n", "version not a number"},
        {"3\n0\n", "unknown version"},
        {"\n", "empty version line"},
        {"2\n1\n0.4\nfast\n", "style not a number"},
        {"2\n1\n0.4\n2\n0\n2\nnan\n", "gate not a number"},
        {"2\n1\n0.4\n2\n0\n2\n0.5\n16\n8\n0.5\n0.5\n1,2\n1,x\n", "step field not a number"},
    };
    for (Case const& c : cases) {
        ArpeggiatorData record;
        EXPECT_FALSE(record.deserialize(c.text)) << c.why;
    }
    // Fields read before the bad value stay read.
    ASSERT_FALSE(data.deserialize(cases[6].text));
    EXPECT_TRUE(data.syncToKeyOn);
    EXPECT_FLOAT_EQ(data.swing, 0.4f);
    EXPECT_EQ(data.steps[0].transpose, 2);
    EXPECT_EQ(data.steps[1].transpose, 0);  // reset before its bad field
    EXPECT_FALSE(data.deserialize_v1(kDefaultText)) << "the version line must match its reader";
}

TEST_F(ArpeggiatorDataTest, NumbersAllowBlanksSignsAndTrailingText) {
    ASSERT_TRUE(data.deserialize(" 2\r\n +1\n 0.25x\n3 styles\n"));
    EXPECT_TRUE(data.syncToKeyOn);
    EXPECT_FLOAT_EQ(data.swing, 0.25f);
    EXPECT_EQ(data.style, 3u);

    // Numbers beyond what the types hold still clamp into range.
    ASSERT_TRUE(data.deserialize("2\n99999999999999999999999\n1e400\n-99999999999999999999999\n0\n0\n1e-400\n"));
    EXPECT_TRUE(data.syncToKeyOn);
    EXPECT_EQ(data.swing, 1.0f);
    EXPECT_EQ(data.style, 0u);
    EXPECT_EQ(data.gate, 0.0f);
}

TEST_F(ArpeggiatorDataTest, SetupTurnsTheRecordIntoArpeggiatorSettings) {
    Arpeggiator arp(16);
    data.syncToKeyOn = true;
    data.style = 7;  // out of range: plays up
    data.rate = 1;
    data.octaves = 9;
    data.gate = 2.0f;
    data.stepLength = 8;
    data.patternLength = 5;
    data.accentAmount = 0.25f;
    data.staccatoAmount = 0.75f;
    for (unsigned i = 0; i < 16; ++i) {
        data.steps[i].active = (i == 0 || i == 3 || i == 7);
    }
    data.steps[3].accent = true;
    data.steps[5].staccato = true;
    data.steps[7].transpose = 5;
    data.steps[7].program = -1;
    data.setupArpeggiator(arp);

    EXPECT_TRUE(arp.syncToKeyOn());
    EXPECT_EQ(arp.style(), Arpeggiator::Up);
    EXPECT_EQ(arp.rate(), Lumora::MIDI::EighthNote);
    EXPECT_EQ(arp.octaveRange(), 3u);
    EXPECT_EQ(arp.duration(), 1.0f);
    EXPECT_EQ(arp.stepLength(), 8u);
    EXPECT_EQ(arp.patternLength(), 5u);
    // Each note lasts until just before the next active step, without wrapping.
    EXPECT_FLOAT_EQ(arp.step(0).duration(), 2.99f);
    EXPECT_FLOAT_EQ(arp.step(3).duration(), 3.99f);
    EXPECT_FLOAT_EQ(arp.step(7).duration(), 0.99f);
    EXPECT_FLOAT_EQ(arp.step(5).duration(), 0.25f);  // staccato
    EXPECT_FALSE(arp.step(1).active());
    EXPECT_FLOAT_EQ(arp.step(3).velocity(), 1.0f);
    EXPECT_FLOAT_EQ(arp.step(0).velocity(), 0.75f);
    EXPECT_EQ(arp.step(7).transpose(), 5);
    EXPECT_EQ(arp.step(7).program(), -1);

    struct StyleCase {
        unsigned style;
        Arpeggiator::ARPEGGIO_STYLE expected;
    } const styles[] = {{0, Arpeggiator::Up},         {1, Arpeggiator::Down},   {2, Arpeggiator::UpDown},
                        {3, Arpeggiator::DownUp},     {4, Arpeggiator::Random}, {5, Arpeggiator::Programmed},
                        {6, Arpeggiator::Up}};
    for (StyleCase const& s : styles) {
        data.style = s.style;
        data.setupArpeggiator(arp);
        EXPECT_EQ(arp.style(), s.expected) << s.style;
    }
    data.rate = 0;
    data.setupArpeggiator(arp);
    EXPECT_EQ(arp.rate(), Lumora::MIDI::QuarterNote);
    data.rate = 5;
    data.setupArpeggiator(arp);
    EXPECT_EQ(arp.rate(), Lumora::MIDI::SixteenthNote);
}
