#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Lumora::NumberText {

// Stored texts always use the C locale's number format, whatever the process locale is.

// Fixed notation with six decimals: 0.75 gives "0.750000".
std::string fixed6(float value);

// The leading number of a text as a string-to-float conversion reads it (leading white space
// and a sign allowed, trailing text ignored). Empty when the text holds no number or the
// number is out of the float range.
std::optional<float> leadingFloat(std::string_view text);

// A whole text (surrounding white space allowed) read as a decimal integer.
std::optional<int> wholeInt(std::string_view text);

} // namespace Lumora::NumberText
