#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "engine/tuning/MicroTuning.h"

using Lumora::MicroTuning;

namespace {
std::string identityText() {
    std::string s = "1\n";
    for (int i = 0; i < 12; ++i) {
        s += "0:0\n";
    }
    return s;
}
} // namespace

TEST(MicroTuning, NewTableIsIdentityAndWritesThirteenLines) {
    MicroTuning table;
    for (int n = 0; n < 128; ++n) {
        EXPECT_EQ(table.data(n).offset, 0);
        EXPECT_EQ(table.data(n).detune, 0.0f);
    }
    EXPECT_EQ(table.serialize(), identityText());
}

TEST(MicroTuning, WritesShortestSixDigitNumbers) {
    MicroTuning table;
    table.setDetune(1, 0.25f);
    table.setDetune(2, -1.0f / 3.0f);
    table.setDetune(3, 1e-05f);
    table.setDetune(4, -0.0f);
    ASSERT_TRUE(table.deserialize("1\n0:0\n0:0.25\n0:-0.333333\n0:1e-05\n0:-0\n0:0\n0:0\n1:0\n"));
    EXPECT_EQ(table.serialize(), "1\n0:0\n0:0.25\n0:-0.333333\n0:1e-05\n0:0\n0:0\n0:0\n1:0\n0:0\n0:0\n0:0\n0:0\n");
}

TEST(MicroTuning, ReaderClampsAndReportsBadLines) {
    struct Case {
        std::string line;
        bool ok;
        int offset;
        float detune;
    };
    Case const cases[] = {
        {"2:0.5", true, 2, 0.5f},   {"200:-3", true, 127, -1.0f}, {"-300:3", true, -127, 1.0f},
        {"7", true, 7, 0.0f},       {" +5:  0.125xyz", true, 5, 0.125f}, {"4:0.5:9", true, 4, 0.5f},
        {":0.5", false, 0, 0.0f},   {"3:x", false, 3, 0.0f},      {"", false, 0, 0.0f},
        {"3:", false, 3, 0.0f},     {"3:nan", false, 3, 0.0f},    {"99999999999999999999:0", false, 0, 0.0f},
    };
    for (auto const& c : cases) {
        MicroTuning table;
        table.deserialize("1\n9:0.75\n9:0.75\n");
        EXPECT_EQ(table.deserialize("1\n" + c.line + "\n"), c.ok) << c.line;
        EXPECT_EQ(table.data(0).offset, c.offset) << c.line;
        EXPECT_EQ(table.data(0).detune, c.detune) << c.line;
        EXPECT_EQ(table.data(1).offset, 9) << c.line; // later entries untouched
    }
}

TEST(MicroTuning, VersionEmptyAndExtraLines) {
    MicroTuning table;
    table.setDetune(5, 0.5f);
    EXPECT_FALSE(table.deserialize("2\n3:0\n"));
    EXPECT_FALSE(table.deserialize("x\n3:0\n"));
    EXPECT_TRUE(table.deserialize(""));
    EXPECT_EQ(table.data(5).detune, 0.5f);
    EXPECT_EQ(table.data(0).offset, 0);

    // A bad line in the middle does not stop reading.
    EXPECT_FALSE(table.deserialize("1\n1:0\nbad\n3:0.5\n"));
    EXPECT_EQ(table.data(0).offset, 1);
    EXPECT_EQ(table.data(1).offset, 0);
    EXPECT_EQ(table.data(2).offset, 3);

    std::string longer = identityText() + "5:0.5\n5:0.5\n";
    EXPECT_TRUE(table.deserialize(longer));
    EXPECT_EQ(table.serialize(), identityText());
}

TEST(MicroTuning, SetDetuneClampsByPitchClass) {
    MicroTuning table;
    table.setDetune(61, 1.5f);
    EXPECT_EQ(table.data(1).detune, 1.0f);
    EXPECT_EQ(table.data(13).detune, 1.0f);
    table.setDetune(11, -7.0f);
    EXPECT_EQ(table.data(119).detune, -1.0f);
    table.reset();
    EXPECT_EQ(table.serialize(), identityText());
}

TEST(MicroTuning, RoundTripIsExactUnderAnyLocale) {
    char const* previous = std::setlocale(LC_ALL, nullptr);
    std::string const saved = previous ? previous : "C";
    bool const commaLocale = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    MicroTuning table;
    float const detunes[] = {0.123457f, -0.999999f, 0.5f, 1e-05f, -0.01f, 0.333333f,
                             0.7f,      -0.25f,     0.0f, 1.0f,   -1.0f,  0.000123456f};
    for (int i = 0; i < 12; ++i) {
        table.setDetune(i, detunes[i]);
    }
    ASSERT_TRUE(table.deserialize("1\n-12:0.123457\n127\n"));
    std::string const text = table.serialize();
    EXPECT_EQ(text.find(','), std::string::npos) << "locale " << commaLocale;
    MicroTuning back;
    EXPECT_TRUE(back.deserialize(text));
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(back.data(i).offset, table.data(i).offset);
        EXPECT_EQ(back.data(i).detune, table.data(i).detune);
    }
    EXPECT_EQ(back.data(0).offset, -12);
    EXPECT_EQ(back.data(1).offset, 127);
    std::setlocale(LC_ALL, saved.c_str());
}
