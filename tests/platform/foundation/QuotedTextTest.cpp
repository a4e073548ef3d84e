#include "platform/foundation/QuotedText.h"

#include <gtest/gtest.h>

using Platform::ControlEscape;

namespace {

std::string quoted(std::string const& text, ControlEscape style) {
    std::string out = "prefix ";
    Platform::appendQuotedText(out, text, style);
    return out;
}

} // namespace

// The exact bytes of both styles: the property-list text and the Turtle the LV2 bundle ships read
// these back, so a change of escape breaks files already written.
TEST(QuotedText, EscapesEachCharacterInItsStyle) {
    struct Case {
        std::string text;
        std::string hex;
        std::string unicode;
    };
    Case const cases[] = {
        {"", "\"\"", "\"\""},
        {"plain (-) text", "\"plain (-) text\"", "\"plain (-) text\""},
        {"a \"b\" \\ c", "\"a \\\"b\\\" \\\\ c\"", "\"a \\\"b\\\" \\\\ c\""},
        {"1\n2\r3\t", "\"1\\n2\\r3\\t\"", "\"1\\n2\\r3\\t\""},
        {std::string("\x00\x01\x1f", 3), "\"\\x00\\x01\\x1f\"", "\"\\u0000\\u0001\\u001F\""},
        {"\x7f", "\"\\x7f\"", "\"\x7f\""},
        {"caf\xc3\xa9 \xff", "\"caf\xc3\xa9 \xff\"", "\"caf\xc3\xa9 \xff\""},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.hex);
        EXPECT_EQ(quoted(c.text, ControlEscape::Hex), "prefix " + c.hex);
        EXPECT_EQ(quoted(c.text, ControlEscape::Unicode), "prefix " + c.unicode);
    }
}
