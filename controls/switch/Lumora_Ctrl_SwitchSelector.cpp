#include "controls/switch/Lumora_Ctrl_SwitchSelector.h"

#include "controls/base/Lumora_WholeNumberValue.h"
#include "controls/painter/Lumora_Painter.h"

#include <algorithm>
#include <cmath>
#include <limits>

Lumora_Ctrl_SwitchSelector::Lumora_Ctrl_SwitchSelector(Platform::Rect frame) : Lumora_Control(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

void Lumora_Ctrl_SwitchSelector::setValue(float value)
{
    if (std::isnan(value))
        return;
    Lumora_Control::setValue(static_cast<float>(Lumora_WholeNumberValue::toUnsigned(value)));
    setNeedsDisplay();
}

float Lumora_Ctrl_SwitchSelector::normalizedValue() const
{
    return Lumora_WholeNumberValue::normalizedFromValue(value());
}

void Lumora_Ctrl_SwitchSelector::setNormalizedValue(float value)
{
    if (std::isnan(value))
        return;
    setValue(Lumora_WholeNumberValue::valueFromNormalized(value));
}

void Lumora_Ctrl_SwitchSelector::setParameter(Lumora::Parameter* parameter)
{
    if (auto const bounds = Lumora_WholeNumberValue::integerBounds(parameter)) {
        min_ = bounds->min;
        max_ = bounds->max;
    }
    Lumora_Control::setParameter(parameter);
}

void Lumora_Ctrl_SwitchSelector::touchesBegan(Platform::TouchSet const&, Platform::Event const*)
{
    pressed_ = true;
    sendActions_SetValue();
    setNeedsDisplay();
}

void Lumora_Ctrl_SwitchSelector::touchesEnded(Platform::TouchSet const&, Platform::Event const*)
{
    pressed_ = false;
    uint32_t const next = Lumora_WholeNumberValue::toUnsigned(value()) + 1;
    setValue(static_cast<float>(next <= max_ ? next : min_));
    sendActions_SetValue();
    setNeedsDisplay();
}

// A touch taken away steps nothing, but the selector no longer looks held.
void Lumora_Ctrl_SwitchSelector::touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (pressed_) {
        pressed_ = false;
        setNeedsDisplay();
    }
    Lumora_Control::touchesCancelled(touches, event);
}

void Lumora_Ctrl_SwitchSelector::drawRect(Platform::Rect const& rect)
{
    Lumora_Painter::sharedInstance()->drawSwitchSelectorWithFrame(
        rect, static_cast<int32_t>(std::min<double>(value(), std::numeric_limits<int32_t>::max())), pressed_,
        disabled(), variation());
}
