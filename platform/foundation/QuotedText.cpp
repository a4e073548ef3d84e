#include "platform/foundation/QuotedText.h"

namespace Platform {

namespace {

constexpr char kLowerHex[] = "0123456789abcdef";
constexpr char kUpperHex[] = "0123456789ABCDEF";

void appendControl(std::string& out, unsigned char byte, ControlEscape style) {
    if (style == ControlEscape::Hex) {
        out += "\\x";
        out += kLowerHex[byte >> 4];
        out += kLowerHex[byte & 0xf];
    } else {
        out += "\\u00";
        out += kUpperHex[byte >> 4];
        out += kUpperHex[byte & 0xf];
    }
}

bool isEscapedControl(unsigned char byte, ControlEscape style) {
    return byte < 0x20 || (byte == 0x7f && style == ControlEscape::Hex);
}

} // namespace

void appendQuotedText(std::string& out, std::string_view text, ControlEscape style) {
    out += '"';
    for (char c : text) {
        auto const byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (isEscapedControl(byte, style))
                appendControl(out, byte, style);
            else
                out += c;
        }
    }
    out += '"';
}

} // namespace Platform
