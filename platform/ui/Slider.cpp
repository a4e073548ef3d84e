#include "platform/ui/Slider.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>

namespace Platform {

Slider::Slider(Rect frame) : Control(frame)
{
    setOpaque(false);
}

void Slider::setValue(float value, bool)
{
    float v = std::clamp(value, min_, std::max(min_, max_));
    if (v != value_) {
        value_ = v;
        setNeedsDisplay();
    }
}

void Slider::setMinimumValue(float min)
{
    min_ = min;
    if (max_ < min_)
        max_ = min_;
    setValue(value_);
}

void Slider::setMaximumValue(float max)
{
    max_ = max;
    if (min_ > max_)
        min_ = max_;
    setValue(value_);
}

void Slider::trackTo(Touch* touch)
{
    Rect b = bounds();
    double usable = std::max(1.0, b.width() - 2 * thumbRadius);
    double f = std::clamp((touch->locationInView(this).x - b.minX() - thumbRadius) / usable, 0.0, 1.0);
    float v = static_cast<float>(min_ + f * (max_ - min_));
    if (v == value_)
        return;
    setValue(v);
    if (continuous_)
        sendActionsForControlEvents(ControlEvents::ValueChanged);
    else
        changedWhileTracking_ = true;
}

bool Slider::beginTracking(Touch* touch, Event const*)
{
    changedWhileTracking_ = false;
    trackTo(touch);
    return true;
}

bool Slider::continueTracking(Touch* touch, Event const*)
{
    trackTo(touch);
    return true;
}

void Slider::endTracking(Touch*, Event const*)
{
    if (changedWhileTracking_)
        sendActionsForControlEvents(ControlEvents::ValueChanged);
    changedWhileTracking_ = false;
}

void Slider::drawRect(Rect const&)
{
    Rect b = bounds();
    double f = max_ > min_ ? (value_ - min_) / (max_ - min_) : 0;
    double x = b.minX() + thumbRadius + f * std::max(0.0, b.width() - 2 * thumbRadius);
    auto* context = GraphicsContext::current();
    if (!context)
        return;
    Color tint = isEnabled() ? tintColor() : Color::lightGrayColor();
    context->setFillColor(Color::lightGrayColor());
    context->fillPath(BezierPath::withRoundedRect(Rect(b.minX() + thumbRadius, b.midY() - 1, b.width() - 2 * thumbRadius, 2), 1));
    context->setFillColor(tint);
    context->fillPath(BezierPath::withRoundedRect(Rect(b.minX() + thumbRadius, b.midY() - 1, x - b.minX() - thumbRadius, 2), 1));
    context->setFillColor(Color::whiteColor());
    auto thumb = BezierPath::withOvalInRect(Rect(x - thumbRadius, b.midY() - thumbRadius, 2 * thumbRadius, 2 * thumbRadius));
    context->fillPath(thumb);
    context->setStrokeColor(Color::withWhite(0.8));
    context->strokePath(thumb);
}

Switch::Switch(Rect frame) : Control(frame)
{
    setOpaque(false);
}

void Switch::setOn(bool on, bool)
{
    if (on_ != on) {
        on_ = on;
        setNeedsDisplay();
    }
}

void Switch::touchesEnded(TouchSet const& touches, Event const* event)
{
    Touch* touch = touches.anyObject();
    bool inside = touch && bounds().insetBy(-20, -20).contains(touch->locationInView(this));
    Control::touchesEnded(touches, event);
    if (inside && isEnabled()) {
        setOn(!on_);
        sendActionsForControlEvents(ControlEvents::ValueChanged);
    }
}

void Switch::drawRect(Rect const&)
{
    auto* context = GraphicsContext::current();
    if (!context)
        return;
    Rect b = bounds().insetBy(1, 1);
    double r = b.height() / 2;
    context->setFillColor(on_ ? Color(0.30, 0.85, 0.39) : Color::withWhite(0.9));
    context->fillPath(BezierPath::withRoundedRect(b, r));
    double knob = b.height() - 4;
    double x = on_ ? b.maxX() - knob - 2 : b.minX() + 2;
    context->setFillColor(Color::whiteColor());
    context->fillPath(BezierPath::withOvalInRect(Rect(x, b.minY() + 2, knob, knob)));
}

Stepper::Stepper(Rect frame) : Control(frame)
{
    setOpaque(false);
}

void Stepper::setValue(double value)
{
    value_ = std::clamp(value, min_, std::max(min_, max_));
    setNeedsDisplay();
}

void Stepper::setMinimumValue(double min)
{
    min_ = min;
    if (max_ < min_)
        max_ = min_;
    setValue(value_);
}

void Stepper::setMaximumValue(double max)
{
    max_ = max;
    if (min_ > max_)
        min_ = max_;
    setValue(value_);
}

void Stepper::touchesBegan(TouchSet const& touches, Event const* event)
{
    Control::touchesBegan(touches, event);
    Touch* touch = touches.anyObject();
    if (!touch || !isEnabled())
        return;
    bool up = touch->locationInView(this).x >= bounds().midX();
    double v = value_ + (up ? step_ : -step_);
    if (wraps_) {
        if (v > max_)
            v = min_;
        else if (v < min_)
            v = max_;
    }
    v = std::clamp(v, min_, max_);
    if (v != value_) {
        setValue(v);
        sendActionsForControlEvents(ControlEvents::ValueChanged);
    }
}

void Stepper::drawRect(Rect const&)
{
    auto* context = GraphicsContext::current();
    if (!context)
        return;
    Rect b = bounds().insetBy(0.5, 0.5);
    Color tint = isEnabled() ? tintColor() : Color::lightGrayColor();
    context->setStrokeColor(tint);
    context->strokePath(BezierPath::withRoundedRect(b, 4));
    BezierPath marks;
    marks.moveTo({b.midX(), b.minY()});
    marks.lineTo({b.midX(), b.maxY()});
    double q = b.width() / 4;
    marks.moveTo({b.minX() + q - 6, b.midY()});
    marks.lineTo({b.minX() + q + 6, b.midY()});
    marks.moveTo({b.maxX() - q - 6, b.midY()});
    marks.lineTo({b.maxX() - q + 6, b.midY()});
    marks.moveTo({b.maxX() - q, b.midY() - 6});
    marks.lineTo({b.maxX() - q, b.midY() + 6});
    context->strokePath(marks);
}

} // namespace Platform
