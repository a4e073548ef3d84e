#include "controls/image/Lumora_Ctrl_Image.h"

#include "controls/base/Lumora_WholeNumberValue.h"
#include "controls/painter/Lumora_Painter.h"

#include <cmath>

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

uint32_t Lumora_Ctrl_Image::unsignedValue() const
{
    return Lumora_WholeNumberValue::toUnsigned(value());
}

void Lumora_Ctrl_Image::setValue(float value)
{
    if (std::isnan(value))
        return;
    Lumora_Control::setValue(static_cast<float>(Lumora_WholeNumberValue::toUnsigned(value)));
    setNeedsDisplay();
}

float Lumora_Ctrl_Image::normalizedValue() const
{
    return Lumora_WholeNumberValue::normalizedFromValue(value());
}

void Lumora_Ctrl_Image::setNormalizedValue(float value)
{
    if (std::isnan(value))
        return;
    setValue(Lumora_WholeNumberValue::valueFromNormalized(value));
}

void Lumora_Ctrl_Image::setParameter(Lumora::Parameter* parameter)
{
    if (auto const bounds = Lumora_WholeNumberValue::integerBounds(parameter)) {
        min_ = bounds->min;
        max_ = bounds->max;
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
