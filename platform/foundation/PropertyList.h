#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace Platform {

class Value;

using Data = std::vector<std::uint8_t>;
using Array = std::vector<Value>;
using Dictionary = std::map<std::string, Value, std::less<>>;

// One property-list value: a boolean, an integer, a real number, a string, raw data, an array or
// a dictionary of values. The readers convert between the scalar kinds as the platform's number
// objects do (a real read as an integer truncates, a string "12" reads as 12), so a value written
// by an older version of a program as another kind still reads sensibly.
class Value {
public:
    using Storage = std::variant<bool, std::int64_t, double, std::string, Data, Array, Dictionary>;

    Value() : storage_(std::int64_t{0}) {}
    Value(bool value) : storage_(value) {}
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    Value(T value) : storage_(toInteger(value)) {}
    Value(double value) : storage_(value) {}
    Value(float value) : storage_(static_cast<double>(value)) {}
    Value(std::string value) : storage_(std::move(value)) {}
    Value(std::string_view value) : storage_(std::string(value)) {}
    Value(char const* value) : storage_(std::string(value)) {}
    Value(Data value) : storage_(std::move(value)) {}
    Value(Array value) : storage_(std::move(value)) {}
    Value(Dictionary value) : storage_(std::move(value)) {}

    bool isBool() const { return std::holds_alternative<bool>(storage_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(storage_); }
    bool isReal() const { return std::holds_alternative<double>(storage_); }
    bool isNumber() const { return isBool() || isInteger() || isReal(); }
    bool isString() const { return std::holds_alternative<std::string>(storage_); }
    bool isData() const { return std::holds_alternative<Data>(storage_); }
    bool isArray() const { return std::holds_alternative<Array>(storage_); }
    bool isDictionary() const { return std::holds_alternative<Dictionary>(storage_); }

    // Scalar readings; containers and data read as false / 0.
    bool boolValue() const;
    std::int64_t integerValue() const;   // reals are truncated and saturated; NaN reads 0
    double doubleValue() const;
    // The text of a string, or of a number; nothing for data and containers.
    std::optional<std::string> stringValue() const;

    std::string const* string() const { return std::get_if<std::string>(&storage_); }
    Data const* data() const { return std::get_if<Data>(&storage_); }
    Array const* array() const { return std::get_if<Array>(&storage_); }
    Dictionary const* dictionary() const { return std::get_if<Dictionary>(&storage_); }

    Storage const& storage() const { return storage_; }

    friend bool operator==(Value const& a, Value const& b) { return a.storage_ == b.storage_; }

private:
    template <class T>
    static std::int64_t toInteger(T value) {
        if constexpr (std::is_unsigned_v<T> && sizeof(T) >= sizeof(std::int64_t)) {
            constexpr auto top = static_cast<std::uint64_t>(INT64_MAX);
            return static_cast<std::int64_t>(static_cast<std::uint64_t>(value) > top ? top : value);
        } else {
            return static_cast<std::int64_t>(value);
        }
    }

    Storage storage_;
};

// The stored text of property lists: one entry per line, "key = value", so that a damaged line
// costs only its own entry. Values: true, false, integers, reals (always with a point or an
// exponent, or inf / -inf / nan), "quoted strings" with \" \\ \n \r \t \xHH escapes, <hex data>,
// [arrays, of, values] and {key = value, other = value}. Keys are bare words of letters, digits
// and "_.-/" or quoted strings. Lines starting with '#' are comments. Numbers use the C locale.
namespace PropertyListText {

std::string writeValue(Value const& value);
std::optional<Value> readValue(std::string_view text);

std::string writeDictionary(Dictionary const& entries, std::string_view headerComment = {});

struct ReadResult {
    Dictionary entries;
    std::size_t unreadableLines = 0;   // lines skipped because they did not parse
};
ReadResult readDictionary(std::string_view text);

} // namespace PropertyListText

} // namespace Platform
