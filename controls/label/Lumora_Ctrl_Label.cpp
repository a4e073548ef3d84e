#include "controls/label/Lumora_Ctrl_Label.h"

#include "engine/parameter/Parameter.h"
#include "platform/graphics/StringDrawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

// Numbers are printed the same whatever the process locale.
std::string integerText(int32_t value, bool showSign)
{
    char buffer[16];
    char* first = buffer;
    if (showSign && value >= 0)
        *first++ = '+';
    auto const result = std::to_chars(first, std::end(buffer), value);
    return std::string(buffer, result.ptr);
}

std::string twoDecimalsText(float value, bool showSign)
{
    char buffer[64];
    char* first = buffer;
    if (showSign && !std::signbit(value))
        *first++ = '+';
    auto const result = std::to_chars(first, std::end(buffer), value, std::chars_format::fixed, 2);
    if (result.ec != std::errc())
        return "nan";
    return std::string(buffer, result.ptr);
}

// Truncated toward zero; what lies outside the signed 32-bit range saturates, and a value that
// is not a number counts as 0.
int32_t truncated(float value)
{
    if (std::isnan(value))
        return 0;
    double const t = std::trunc(static_cast<double>(value));
    return static_cast<int32_t>(std::clamp<double>(t, std::numeric_limits<int32_t>::min(),
                                                   std::numeric_limits<int32_t>::max()));
}

} // namespace

Lumora_Ctrl_Label::Lumora_Ctrl_Label(Platform::Rect frame) : Lumora_Control(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

void Lumora_Ctrl_Label::setValue(float value)
{
    Lumora_Control::setValue(value);
    setNeedsDisplay();
}

float Lumora_Ctrl_Label::displayValueFromConcreteValue(float concrete, float multiplier, float offset)
{
    return std::fmaf(concrete, multiplier, offset);
}

std::string Lumora_Ctrl_Label::numberText() const
{
    Lumora::Parameter const* p = parameter();
    if (!p)
        return twoDecimalsText(value(), false);
    float const d = displayValueFromConcreteValue(p->concreteValue(), multiplier_, offset_);
    using Type = Lumora::Parameter::Type;
    switch (p->type()) {
    case Type::SInt:
        return d == 0 ? "0" : integerText(truncated(d), true);
    case Type::UInt:
        return integerText(truncated(d), false);
    case Type::SFloat:
        return d == 0 ? "0.00" : twoDecimalsText(d, true);
    case Type::UFloat:
        return twoDecimalsText(d, false);
    default:
        return d != 0 ? "On" : "Off";
    }
}

std::string Lumora_Ctrl_Label::text() const
{
    return prefix_ + numberText() + surfix_;
}

void Lumora_Ctrl_Label::drawRect(Platform::Rect const& rect)
{
    Platform::TextAttributes attributes;
    attributes.font = Platform::Font::withName(fontName_, fontSize_);
    attributes.color = color_;
    attributes.alignment = Platform::TextAlignment::Center;
    Platform::StringDrawing::drawInRect(text(), rect, attributes);
}
