#include "controls/knob/Lumora_Ctrl_TravelBase.h"

#include "controls/categories/UIEvent_Lumora.h"

#include <algorithm>
#include <cmath>
#include <numbers>

float Lumora_clamp01(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

Lumora_Ctrl_TravelBase::Lumora_Ctrl_TravelBase(Platform::Rect frame) : Lumora_Control(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

float Lumora_Ctrl_TravelBase::convertTo_external_from(float internal) const
{
    return isBipole_ ? internal * 2.0f - 1.0f : internal;
}

float Lumora_Ctrl_TravelBase::convertTo_internal_from(float external) const
{
    return isBipole_ ? (external + 1.0f) * 0.5f : external;
}

float Lumora_Ctrl_TravelBase::value() const
{
    return convertTo_external_from(internalValue());
}

void Lumora_Ctrl_TravelBase::setValue(float value)
{
    if (std::isnan(value))
        return;
    setInternalValue(Lumora_clamp01(convertTo_internal_from(value)));
}

float Lumora_Ctrl_TravelBase::defaultValue() const
{
    return convertTo_external_from(internalDefaultValue_);
}

void Lumora_Ctrl_TravelBase::setDefaultValue(float value)
{
    setInternalDefaultValue(convertTo_internal_from(value));
}

float Lumora_Ctrl_TravelBase::normalizedValue() const
{
    return internalValue();
}

void Lumora_Ctrl_TravelBase::setNormalizedValue(float value)
{
    setInternalValue(value);
}

float Lumora_Ctrl_TravelBase::normalizedDefaultValue() const
{
    return internalDefaultValue_;
}

void Lumora_Ctrl_TravelBase::setNormalizedDefaultValue(float value)
{
    setInternalDefaultValue(value);
}

void Lumora_Ctrl_TravelBase::setInternalValue(float value)
{
    storeInternalValue(value);
}

void Lumora_Ctrl_TravelBase::storeInternalValue(float value)
{
    if (std::isnan(value))
        return;
    internalValue_ = Lumora_clamp01(value);
    // The delegate hears every change of the external value, whatever moved it.
    Lumora_Control::setValue(this->value());
    setNeedsDisplay();
}

void Lumora_Ctrl_TravelBase::setInternalDefaultValue(float value)
{
    if (std::isnan(value))
        return;
    internalDefaultValue_ = Lumora_clamp01(value);
}

float Lumora_Ctrl_TravelBase::touchAngle(Platform::Point p, Platform::Point lastPoint)
{
    constexpr double pi = std::numbers::pi;
    // atan2 measures from the x axis, y down; turn it so that 0 points straight down and the
    // angle grows clockwise on screen.
    double a0 = std::atan2(p.y - lastPoint.y, p.x - lastPoint.x);
    if (a0 < 0)
        a0 += 2 * pi;
    double const a = a0 < pi / 2 ? a0 + 3 * pi / 2 : a0 - pi / 2;
    return static_cast<float>(a);
}

bool Lumora_Ctrl_TravelBase::isSidewaysAngle(float a)
{
    constexpr double pi = std::numbers::pi;
    constexpr float q1 = static_cast<float>(pi / 4), q3 = static_cast<float>(3 * pi / 4);
    constexpr float q5 = static_cast<float>(5 * pi / 4), q7 = static_cast<float>(7 * pi / 4);
    return (q1 <= a && a <= q3) || (q5 <= a && a <= q7);
}

void Lumora_Ctrl_TravelBase::touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event)
{
    Platform::Touch* touch = UIEvent_Lumora::touchForView(this, touches, event);
    if (!touch)
        return;
    beginDrag(touch->locationInView(this));
    sendActions_BeginGesture();
    Lumora_Control::touchesBegan(touches, event);
}

void Lumora_Ctrl_TravelBase::touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event)
{
    Platform::Touch* touch = UIEvent_Lumora::touchForView(this, touches, event);
    if (!touch)
        return;
    updateInternalValue(touch->locationInView(this));
    sendActions_UpdateGesture();
    Lumora_Control::touchesMoved(touches, event);
}

void Lumora_Ctrl_TravelBase::touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event)
{
    // Exactly two taps reset; a triple tap does not. The reset and the settling come before the
    // last report, so the bound screen reads the final value then.
    if (Platform::Touch* touch = touches.anyObject(); touch && touch->tapCount() == 2)
        setInternalValue(internalDefaultValue_);
    onFinishChangeValue();
    sendActions_EndGesture();
    Lumora_Control::touchesEnded(touches, event);
}

void Lumora_Ctrl_TravelBase::touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event)
{
    sendActions_EndGesture();
    Lumora_Control::touchesCancelled(touches, event);
}
