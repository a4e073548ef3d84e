#include "controls/switch/Lumora_Ctrl_SwitchSelector.h"

#include "controls/painter/Lumora_Painter.h"
#include "engine/parameter/TypedParameters.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A float as a whole number >= 0, truncated toward zero; what does not fit saturates.
uint32_t wholeNumber(float value)
{
    constexpr double top = std::numeric_limits<uint32_t>::max();
    if (!(value > 0))
        return 0;
    return static_cast<uint32_t>(std::min<double>(std::trunc(value), top));
}

} // namespace

Lumora_Ctrl_SwitchSelector::Lumora_Ctrl_SwitchSelector(Platform::Rect frame) : Lumora_Control(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

void Lumora_Ctrl_SwitchSelector::setValue(float value)
{
    if (std::isnan(value))
        return;
    Lumora_Control::setValue(static_cast<float>(wholeNumber(value)));
    setNeedsDisplay();
}

float Lumora_Ctrl_SwitchSelector::normalizedValue() const
{
    return std::clamp(value(), 0.0f, 127.0f) / 127.0f;
}

void Lumora_Ctrl_SwitchSelector::setNormalizedValue(float value)
{
    if (std::isnan(value))
        return;
    float const m = std::max(value, 0.0f);
    setValue(m > 1.0f ? 127.0f : std::round(m * 127.0f));
}

void Lumora_Ctrl_SwitchSelector::setParameter(Lumora::Parameter* parameter)
{
    if (auto const* p = dynamic_cast<Lumora::Parameter_SInt const*>(parameter)) {
        min_ = static_cast<uint32_t>(p->minValue());
        max_ = static_cast<uint32_t>(p->maxValue());
    } else if (auto const* p = dynamic_cast<Lumora::Parameter_UInt const*>(parameter)) {
        min_ = p->minValue();
        max_ = p->maxValue();
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
    uint32_t const next = wholeNumber(value()) + 1;
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
