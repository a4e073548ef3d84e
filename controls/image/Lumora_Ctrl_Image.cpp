#include "controls/image/Lumora_Ctrl_Image.h"

#include "controls/painter/Lumora_Painter.h"
#include "engine/parameter/TypedParameters.h"

#include <algorithm>
#include <cmath>
#include <limits>

Lumora_Ctrl_Image::Lumora_Ctrl_Image(Platform::Rect frame) : Lumora_Control(frame)
{
    initialize_image();
}

void Lumora_Ctrl_Image::initialize_image()
{
    setBackgroundColor(Platform::Color::clearColor());
    min_ = 0;
    max_ = 1;
}

void Lumora_Ctrl_Image::setCornerRadius(float radius)
{
    cornerRadius_ = radius;
    setNeedsUpdateConstraints();
}

uint32_t Lumora_Ctrl_Image::toUnsigned(float value)
{
    // Computed in double: a float cannot hold the unsigned maximum, and converting a value at
    // or beyond it to an unsigned integer would be undefined.
    double const v = value;
    if (!(v > 0))
        return 0;
    if (v >= static_cast<double>(std::numeric_limits<uint32_t>::max()))
        return std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(v);
}

uint32_t Lumora_Ctrl_Image::unsignedValue() const
{
    return toUnsigned(value());
}

void Lumora_Ctrl_Image::setValue(float value)
{
    if (std::isnan(value))
        return;
    Lumora_Control::setValue(static_cast<float>(toUnsigned(value)));
    setNeedsDisplay();
}

float Lumora_Ctrl_Image::normalizedValue() const
{
    return std::clamp(value(), 0.0f, 127.0f) / 127.0f;
}

void Lumora_Ctrl_Image::setNormalizedValue(float value)
{
    if (std::isnan(value))
        return;
    float const m = std::max(value, 0.0f);
    float const x = m > 1 ? 127.0f : m * 127.0f;
    setValue(std::round(x));  // std::round takes halves away from zero
}

void Lumora_Ctrl_Image::setParameter(Lumora::Parameter* parameter)
{
    if (parameter) {
        if (parameter->type() == Lumora::Parameter::Type::SInt) {
            if (auto* p = dynamic_cast<Lumora::Parameter_SInt*>(parameter)) {
                min_ = static_cast<uint32_t>(p->minValue());
                max_ = static_cast<uint32_t>(p->maxValue());
            }
        } else if (parameter->type() == Lumora::Parameter::Type::UInt) {
            if (auto* p = dynamic_cast<Lumora::Parameter_UInt*>(parameter)) {
                min_ = p->minValue();
                max_ = p->maxValue();
            }
        }
    }
    Lumora_Control::setParameter(parameter);
}

void Lumora_Ctrl_Image::updateConstraints()
{
    Lumora_Control::updateConstraints();
    if (cornerRadius_ > 0) {
        layer().cornerRadius = cornerRadius_;
        layer().maskedCorners = 15;
        setClipsToBounds(true);
    }
}

void Lumora_Ctrl_Image::drawRect(Platform::Rect const& rect)
{
    Lumora_Painter::sharedInstance()->drawImageWithFrame(rect, static_cast<int32_t>(unsignedValue()), isSelected(),
                                                         pressed_, disabled(), badge_, variation());
}

void Lumora_Ctrl_Image::touchesBegan(Platform::TouchSet const&, Platform::Event const*)
{
    pressed_ = true;
    setNeedsDisplay();
}

void Lumora_Ctrl_Image::touchesEnded(Platform::TouchSet const&, Platform::Event const*)
{
    tapped();
    pressed_ = false;
    setNeedsDisplay();
}

void Lumora_Ctrl_Image::tapped()
{
    if (!touchOperated_)
        return;
    // Unsigned arithmetic: a value at the unsigned maximum wraps to 0 and so stays in range.
    uint32_t const k = unsignedValue() + 1u;
    setValue(static_cast<float>(k <= max_ ? k : min_));
    sendActions_SetValue();
}

void Lumora_Ctrl_Image::onTouchesCancelled(Platform::TouchSet const&, Platform::Event const*)
{
    if (!pressed_)
        return;
    pressed_ = false;
    setNeedsDisplay();
}
