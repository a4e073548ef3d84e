#include "platform/foundation/PropertyList.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/foundation/QuotedText.h"

namespace Platform {

bool Value::boolValue() const {
    if (auto const* b = std::get_if<bool>(&storage_))
        return *b;
    if (auto const* i = std::get_if<std::int64_t>(&storage_))
        return *i != 0;
    if (auto const* r = std::get_if<double>(&storage_))
        return *r != 0.0 && !std::isnan(*r);
    if (auto const* s = std::get_if<std::string>(&storage_)) {
        // The platform reads "YES", "true" and any non-zero number text as true.
        if (*s == "YES" || *s == "yes" || *s == "true" || *s == "TRUE" || *s == "Y" || *s == "y")
            return true;
        return integerValue() != 0;
    }
    return false;
}

std::int64_t Value::integerValue() const {
    if (auto const* b = std::get_if<bool>(&storage_))
        return *b ? 1 : 0;
    if (auto const* i = std::get_if<std::int64_t>(&storage_))
        return *i;
    if (auto const* r = std::get_if<double>(&storage_)) {
        if (std::isnan(*r))
            return 0;
        if (*r >= 9.2233720368547758e18)
            return std::numeric_limits<std::int64_t>::max();
        if (*r <= -9.2233720368547758e18)
            return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(*r);
    }
    if (isString())
        return Value(doubleValue()).integerValue();
    return 0;
}

double Value::doubleValue() const {
    if (auto const* b = std::get_if<bool>(&storage_))
        return *b ? 1.0 : 0.0;
    if (auto const* i = std::get_if<std::int64_t>(&storage_))
        return static_cast<double>(*i);
    if (auto const* r = std::get_if<double>(&storage_))
        return *r;
    if (auto const* s = std::get_if<std::string>(&storage_)) {
        // A leading number, as the platform's string scanning reads it; anything else is 0.
        std::size_t start = s->find_first_not_of(" \t");
        if (start == std::string::npos)
            return 0.0;
        char const* first = s->data() + start;
        if (*first == '+')
            ++first;
        double parsed = 0.0;
        auto result = std::from_chars(first, s->data() + s->size(), parsed);
        return result.ec == std::errc() ? parsed : 0.0;
    }
    return 0.0;
}

std::optional<std::string> Value::stringValue() const {
    if (auto const* s = std::get_if<std::string>(&storage_))
        return *s;
    if (auto const* b = std::get_if<bool>(&storage_))
        return std::string(*b ? "1" : "0");
    if (isInteger() || isReal())
        return PropertyListText::writeValue(*this);
    return std::nullopt;
}

namespace PropertyListText {

namespace {

constexpr int kMaximumDepth = 64;
constexpr char kHexDigits[] = "0123456789abcdef";

bool isBareKeyCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           c == '-' || c == '/';
}

void appendQuoted(std::string& out, std::string_view text) {
    // Control characters are escaped so that every entry stays on one line.
    appendQuotedText(out, text, ControlEscape::Hex);
}

void appendKey(std::string& out, std::string_view key) {
    bool bare = !key.empty();
    for (char c : key)
        bare = bare && isBareKeyCharacter(c);
    if (bare)
        out += key;
    else
        appendQuoted(out, key);
}

void appendReal(std::string& out, double value) {
    if (std::isnan(value)) {
        out += "nan";
        return;
    }
    if (std::isinf(value)) {
        out += value < 0 ? "-inf" : "inf";
        return;
    }
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    out += text;
    // A real always shows that it is one, so that it reads back as a real.
    if (text.find_first_of(".e") == std::string_view::npos)
        out += ".0";
}

void append(std::string& out, Value const& value) {
    std::visit(
        [&out](auto const& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                out += v ? "true" : "false";
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                char buffer[32];
                auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
                out.append(buffer, result.ptr);
            } else if constexpr (std::is_same_v<T, double>) {
                appendReal(out, v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                appendQuoted(out, v);
            } else if constexpr (std::is_same_v<T, Data>) {
                out += '<';
                for (std::uint8_t byte : v) {
                    out += kHexDigits[byte >> 4];
                    out += kHexDigits[byte & 0xf];
                }
                out += '>';
            } else if constexpr (std::is_same_v<T, Array>) {
                out += '[';
                for (std::size_t i = 0; i < v.size(); ++i) {
                    if (i > 0)
                        out += ", ";
                    append(out, v[i]);
                }
                out += ']';
            } else {
                out += '{';
                bool first = true;
                for (auto const& [key, item] : v) {
                    if (!first)
                        out += ", ";
                    first = false;
                    appendKey(out, key);
                    out += " = ";
                    append(out, item);
                }
                out += '}';
            }
        },
        value.storage());
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Recursive-descent reader over one line of text; every failure answers nothing, never throws.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<Value> value(int depth) {
        skipSpace();
        if (depth > kMaximumDepth || atEnd())
            return std::nullopt;
        char c = text_[pos_];
        if (c == '"') {
            auto s = quoted();
            return s ? std::optional<Value>(Value(std::move(*s))) : std::nullopt;
        }
        if (c == '<')
            return data();
        if (c == '[')
            return array(depth);
        if (c == '{')
            return dictionary(depth);
        return scalar();
    }

    std::optional<std::string> key() {
        skipSpace();
        if (atEnd())
            return std::nullopt;
        if (text_[pos_] == '"')
            return quoted();
        std::size_t start = pos_;
        while (!atEnd() && isBareKeyCharacter(text_[pos_]))
            ++pos_;
        if (pos_ == start)
            return std::nullopt;
        return std::string(text_.substr(start, pos_ - start));
    }

    bool expect(char c) {
        skipSpace();
        if (atEnd() || text_[pos_] != c)
            return false;
        ++pos_;
        return true;
    }

    bool atEndAfterSpace() {
        skipSpace();
        return atEnd();
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }

    void skipSpace() {
        while (!atEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r'))
            ++pos_;
    }

    std::optional<std::string> quoted() {
        ++pos_;   // opening quote
        std::string out;
        while (!atEnd()) {
            char c = text_[pos_++];
            if (c == '"')
                return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (atEnd())
                return std::nullopt;
            char e = text_[pos_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'x': {
                if (pos_ + 2 > text_.size())
                    return std::nullopt;
                int high = hexValue(text_[pos_]);
                int low = hexValue(text_[pos_ + 1]);
                if (high < 0 || low < 0)
                    return std::nullopt;
                out += static_cast<char>(high * 16 + low);
                pos_ += 2;
                break;
            }
            default: return std::nullopt;
            }
        }
        return std::nullopt;   // no closing quote
    }

    std::optional<Value> data() {
        ++pos_;
        Data bytes;
        int high = -1;
        while (!atEnd()) {
            char c = text_[pos_++];
            if (c == '>')
                return high < 0 ? std::optional<Value>(Value(std::move(bytes))) : std::nullopt;
            if (c == ' ')
                continue;
            int digit = hexValue(c);
            if (digit < 0)
                return std::nullopt;
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
                high = -1;
            }
        }
        return std::nullopt;
    }

    std::optional<Value> array(int depth) {
        ++pos_;
        Array items;
        if (expect(']'))
            return Value(std::move(items));
        while (true) {
            auto item = value(depth + 1);
            if (!item)
                return std::nullopt;
            items.push_back(std::move(*item));
            if (expect(']'))
                return Value(std::move(items));
            if (!expect(','))
                return std::nullopt;
        }
    }

    std::optional<Value> dictionary(int depth) {
        ++pos_;
        Dictionary entries;
        if (expect('}'))
            return Value(std::move(entries));
        while (true) {
            auto name = key();
            if (!name || !expect('='))
                return std::nullopt;
            auto item = value(depth + 1);
            if (!item)
                return std::nullopt;
            entries.insert_or_assign(std::move(*name), std::move(*item));
            if (expect('}'))
                return std::optional<Value>(std::in_place, std::move(entries));
            if (!expect(','))
                return std::nullopt;
        }
    }

    std::optional<Value> scalar() {
        std::size_t start = pos_;
        while (!atEnd() && text_[pos_] != ',' && text_[pos_] != ']' && text_[pos_] != '}' && text_[pos_] != ' ' &&
               text_[pos_] != '\t' && text_[pos_] != '\r')
            ++pos_;
        std::string_view word = text_.substr(start, pos_ - start);
        if (word == "true")
            return Value(true);
        if (word == "false")
            return Value(false);
        if (word.empty())
            return std::nullopt;
        char const* first = word.data();
        char const* last = word.data() + word.size();
        bool real = word.find_first_of(".eEn") != std::string_view::npos;   // n: inf, nan
        if (!real) {
            std::int64_t integer = 0;
            auto result = std::from_chars(first, last, integer);
            if (result.ec == std::errc() && result.ptr == last)
                return Value(integer);
            // An integer too large for 64 bits still reads, as a real.
        }
        double number = 0.0;
        auto result = std::from_chars(first, last, number);
        if (result.ec == std::errc() && result.ptr == last)
            return Value(number);
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::string writeValue(Value const& value) {
    std::string out;
    append(out, value);
    return out;
}

std::optional<Value> readValue(std::string_view text) {
    Reader reader(text);
    auto value = reader.value(0);
    if (!value || !reader.atEndAfterSpace())
        return std::nullopt;
    return value;
}

std::string writeDictionary(Dictionary const& entries, std::string_view headerComment) {
    std::string out;
    if (!headerComment.empty()) {
        out += "# ";
        out += headerComment;
        out += '\n';
    }
    for (auto const& [key, value] : entries) {
        appendKey(out, key);
        out += " = ";
        append(out, value);
        out += '\n';
    }
    return out;
}

ReadResult readDictionary(std::string_view text) {
    ReadResult result;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;

        std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        Reader reader(line);
        auto key = reader.key();
        std::optional<Value> value;
        if (key && reader.expect('='))
            value = reader.value(0);
        if (!value || !reader.atEndAfterSpace()) {
            ++result.unreadableLines;
            continue;
        }
        result.entries.insert_or_assign(std::move(*key), std::move(*value));
    }
    return result;
}

} // namespace PropertyListText

} // namespace Platform
