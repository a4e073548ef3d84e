#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using Platform::Array;
using Platform::Data;
using Platform::Dictionary;
using Platform::Value;
namespace Text = Platform::PropertyListText;

TEST(PropertyListText, EveryKindSurvivesAWriteAndARead) {
    Dictionary entries{
        {"flag", true},
        {"off", false},
        {"count", std::int64_t{-42}},
        {"big", std::numeric_limits<std::int64_t>::max()},
        {"small", std::numeric_limits<std::int64_t>::min()},
        {"tempo", 120.0},
        {"tenth", 0.1},
        {"huge", 1e300},
        {"name", "line one\nline \"two\"\t\\ \x01 caf\xc3\xa9"},
        {"empty", ""},
        {"blob", Data{0x00, 0xff, 0x10}},
        {"ports", Array{Value(1), Value(-2147483647 - 1), Value(2.5), Value("x")}},
        {"AudioComponents", Array{Value(Dictionary{{"name", "Corvane"}, {"type", "auri"}, {"version", 1}})}},
        {"key with spaces = and \"quotes\"", Dictionary{}},
        {"nested", Array{Value(Array{}), Value(Array{Value(Array{Value(true)})})}},
    };
    std::string text = Text::writeDictionary(entries, "header");
    auto read = Text::readDictionary(text);
    EXPECT_EQ(read.unreadableLines, 0u);
    EXPECT_EQ(read.entries, entries);
    // One line per entry (plus the header), whatever the strings hold.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(entries.size() + 1));
    // A real stays a real even when it is whole.
    EXPECT_TRUE(read.entries.at("tempo").isReal());
}

TEST(PropertyListText, NonFiniteRealsRoundTrip) {
    double inf = std::numeric_limits<double>::infinity();
    auto read = Text::readDictionary(Text::writeDictionary(
        {{"a", inf}, {"b", -inf}, {"c", std::numeric_limits<double>::quiet_NaN()}}));
    ASSERT_EQ(read.entries.size(), 3u);
    EXPECT_EQ(read.entries.at("a").doubleValue(), inf);
    EXPECT_EQ(read.entries.at("b").doubleValue(), -inf);
    EXPECT_TRUE(std::isnan(read.entries.at("c").doubleValue()));
}

TEST(PropertyListText, DamagedLinesAreSkippedAndTheRestKept) {
    std::string text = "good1 = 1\n"
                       "unterminated = \"abc\n"
                       "noequals 5\n"
                       "= 7\n"
                       "badnumber = 12x\n"
                       "badarray = [1, 2\n"
                       "baddict = {a = }\n"
                       "baddata = <abc>\n"
                       "badescape = \"\\q\"\n"
                       "trailing = 1 2\n"
                       "deep = " + std::string(200, '[') + std::string(200, ']') + "\n"
                       "\x01\xff\xfe garbage\n"
                       "   # a comment\n"
                       "\n"
                       "good2 = \"two\"\n"
                       "good1 = 3";   // a later line wins; the last line needs no line feed
    auto read = Text::readDictionary(text);
    EXPECT_EQ(read.unreadableLines, 11u);
    Dictionary expected{{"good1", 3}, {"good2", "two"}};
    EXPECT_EQ(read.entries, expected);
}

TEST(PropertyListValue, ScalarsConvertAsThePlatformsNumbersDo) {
    struct Case {
        Value value;
        bool asBool;
        std::int64_t asInteger;
        double asDouble;
    };
    double const nan = std::numeric_limits<double>::quiet_NaN();
    Case const cases[] = {
        {Value(true), true, 1, 1.0},
        {Value(0), false, 0, 0.0},
        {Value(-3), true, -3, -3.0},
        {Value(1.9), true, 1, 1.9},
        {Value(-1.9), true, -1, -1.9},
        {Value(1e30), true, std::numeric_limits<std::int64_t>::max(), 1e30},
        {Value(-1e30), true, std::numeric_limits<std::int64_t>::min(), -1e30},
        {Value(nan), false, 0, nan},
        {Value("YES"), true, 0, 0.0},
        {Value("12abc"), true, 12, 12.0},
        {Value(" 2.5"), true, 2, 2.5},
        {Value("no"), false, 0, 0.0},
        {Value(Array{Value(1)}), false, 0, 0.0},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(Text::writeValue(c.value));
        EXPECT_EQ(c.value.boolValue(), c.asBool);
        EXPECT_EQ(c.value.integerValue(), c.asInteger);
        if (std::isnan(c.asDouble))
            EXPECT_TRUE(std::isnan(c.value.doubleValue()));
        else
            EXPECT_DOUBLE_EQ(c.value.doubleValue(), c.asDouble);
    }
    EXPECT_EQ(Value(std::uint64_t{UINT64_MAX}).integerValue(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(Value(5).stringValue(), "5");
    EXPECT_FALSE(Value(Data{}).stringValue());
}
