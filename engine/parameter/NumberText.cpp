#include "engine/parameter/NumberText.h"

#include <charconv>

namespace Lumora::NumberText {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

} // namespace

std::string fixed6(float value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
    if (ec != std::errc()) {
        return "0.000000";
    }
    return std::string(buf, end);
}

std::optional<float> leadingFloat(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    // from_chars takes a minus sign but not a plus sign.
    if (i < text.size() && text[i] == '+') {
        ++i;
        if (i < text.size() && text[i] == '-') return std::nullopt;
    }
    float value = 0.0f;
    auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                     std::chars_format::general);
    if (ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> wholeInt(std::string_view text) {
    std::string_view s = trimmed(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int value = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || ptr != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace Lumora::NumberText
