#pragma once

#include <string>
#include <string_view>

namespace Platform {

// How a control character other than \n, \r and \t is written inside quotes.
enum class ControlEscape {
    Hex,     // \xhh in lower-case hex; DEL (0x7f) too
    Unicode, // \u00HH in upper-case hex, as Turtle and JSON read it; DEL stays as it is
};

// Appends text between double quotes with quotes and backslashes escaped, line breaks and tabs
// as \n, \r and \t, and every other control character in the given style, so that the literal
// stays on one line and reads back to the same bytes. Bytes from 0x80 up (UTF-8) pass unchanged.
void appendQuotedText(std::string& out, std::string_view text, ControlEscape style);

} // namespace Platform
