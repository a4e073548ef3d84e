#include "controls/base/Lumora_Control.h"

#include "engine/parameter/Parameter.h"

Lumora_Control::Lumora_Control(Platform::Rect frame) : Platform::Control(frame)
{
    init_Lumora_Control();
}

void Lumora_Control::init_Lumora_Control()
{
    setPassthroughTouchEventsToSuperView(false);
}

void Lumora_Control::setValue(float value)
{
    float const old = value_;
    value_ = value;
    if (value != old)
        if (Lumora_ControlDelegate* d = delegate())
            d->Lumora_Control_valueChanged(this, value);
}

void Lumora_Control::setDisabled(bool disabled)
{
    if (disabled_ == disabled)
        return;
    disabled_ = disabled;
    setNeedsDisplay();
}

void Lumora_Control::setParameter(Lumora::Parameter* parameter)
{
    parameter_ = parameter;
    if (!parameter)
        return;
    // The default first, so that a subclass clamping the value against it sees the new one.
    setNormalizedDefaultValue(parameter->defaultValue());
    setNormalizedValue(parameter->normalizedValue());
}

void Lumora_Control::report(int32_t state)
{
    gestureState_ = state;
    sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
}

void Lumora_Control::sendActions_BeginGesture() { report(1); }
void Lumora_Control::sendActions_UpdateGesture() { report(2); }
void Lumora_Control::sendActions_EndGesture() { report(3); }
void Lumora_Control::sendActions_SetValue() { report(4); }

void Lumora_Control::touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (passthrough_) {
        if (Platform::View* s = superview())
            s->touchesBegan(touches, event);
        return;
    }
    onTouchesBegan(touches, event);
    Platform::Control::touchesBegan(touches, event);
}

void Lumora_Control::touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (passthrough_) {
        if (Platform::View* s = superview())
            s->touchesMoved(touches, event);
        return;
    }
    onTouchesMoved(touches, event);
    Platform::Control::touchesMoved(touches, event);
}

void Lumora_Control::touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (passthrough_) {
        if (Platform::View* s = superview())
            s->touchesEnded(touches, event);
        return;
    }
    onTouchesEnded(touches, event);
    Platform::Control::touchesEnded(touches, event);
}

void Lumora_Control::touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (passthrough_) {
        if (Platform::View* s = superview())
            s->touchesCancelled(touches, event);
        return;
    }
    onTouchesCancelled(touches, event);
    Platform::Control::touchesCancelled(touches, event);
}
