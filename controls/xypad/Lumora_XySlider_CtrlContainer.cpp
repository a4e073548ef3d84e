#include "controls/xypad/Lumora_XySlider_CtrlContainer.h"

#include <algorithm>

namespace {

// Both holders make the same report, x first; each is looked up when its turn comes, as the
// first report may run code that removes the other.
void reportToHolders(Lumora_XySlider_CtrlContainer const& pad, void (Lumora_Control::*report)())
{
    if (auto* c = pad.cntrl_x())
        (c->*report)();
    if (auto* c = pad.cntrl_y())
        (c->*report)();
}

} // namespace

Lumora_XySlider_CtrlContainer::Lumora_XySlider_CtrlContainer(Platform::Rect frame) : Platform::View(frame)
{
    initialize_XySlider();
}

void Lumora_XySlider_CtrlContainer::initialize_XySlider()
{
    if (sensitivity_ == 0)
        sensitivity_ = 1.0f;
    setBackgroundColor(Platform::Color::clearColor());
    touchEvView_ = std::make_shared<Lumora_XySlider_TouchEvHandlerView>(Platform::Rect{});
    addSubview(touchEvView_);
    touchEvView_->setDelegate(this);
}

void Lumora_XySlider_CtrlContainer::awakeFromNib()
{
    Platform::View::awakeFromNib();
    if (sensitivity_ == 0)
        sensitivity_ = 1.0f;
    if (touchEvView_ && touchEvView_->superview() == this)
        bringSubviewToFront(touchEvView_.get());
    // Made while the pad was not yet shared, the handler's reference to it is watched from now.
    if (touchEvView_)
        touchEvView_->setDelegate(this);
}

float Lumora_XySlider_CtrlContainer::value_x() const
{
    auto* c = cntrl_x();
    return c ? c->value() : 0.0f;
}

void Lumora_XySlider_CtrlContainer::setValue_x(float value)
{
    if (auto* c = cntrl_x())
        c->setValue(value);
}

float Lumora_XySlider_CtrlContainer::value_y() const
{
    auto* c = cntrl_y();
    return c ? c->value() : 0.0f;
}

void Lumora_XySlider_CtrlContainer::setValue_y(float value)
{
    if (auto* c = cntrl_y())
        c->setValue(value);
}

float Lumora_XySlider_CtrlContainer::default_x() const
{
    auto* c = cntrl_x();
    return c ? c->defaultValue() : 0.0f;
}

float Lumora_XySlider_CtrlContainer::default_y() const
{
    auto* c = cntrl_y();
    return c ? c->defaultValue() : 0.0f;
}

void Lumora_XySlider_CtrlContainer::layoutSubviews()
{
    Platform::View::layoutSubviews();
    for (auto const& sub : subviews()) {
        auto* agent = dynamic_cast<Lumora_Ctrl_InvisibleAgent*>(sub.get());
        if (!agent)
            continue;
        if (!cntrl_x() && agent->tag() == paramID_x_) {
            cntrl_x_.reset(agent);
            agent->setDelegate(this);
        }
        if (!cntrl_y() && agent->tag() == paramID_y_) {
            cntrl_y_.reset(agent);
            agent->setDelegate(this);
        }
    }
    if (touchEvView_) {
        touchEvView_->setFrame(bounds());
        // Set while the pad was being made, the handler's reference to it is watched from now.
        if (touchEvView_->delegate() == this)
            touchEvView_->setDelegate(this);
    }
}

void Lumora_XySlider_CtrlContainer::Lumora_Control_valueChanged(Lumora_Control* control, float)
{
    if (control && (control->tag() == paramID_x_ || control->tag() == paramID_y_))
        setNeedsDisplay();
}

void Lumora_XySlider_CtrlContainer::onTouchesBegan(Platform::Touch* touch)
{
    lastTouchPoint_ = touch->locationInView(this);
    reportToHolders(*this, &Lumora_Control::sendActions_BeginGesture);
}

// Relative movement: a drag across the whole pad changes a value by the sensitivity, so the
// whole range at 1. Upward movement is positive.
void Lumora_XySlider_CtrlContainer::onTouchesMoved(Platform::Touch* touch)
{
    Platform::Point const p = touch->locationInView(this);
    double const dx = p.x - lastTouchPoint_.x;
    double const dy = lastTouchPoint_.y - p.y;
    double const s = std::clamp(static_cast<double>(sensitivity_), 0.1, 2.0);
    Platform::Rect const b = bounds();
    // A pad without extent along an axis has no travel to divide by: that axis stays.
    if (b.width() > 0)
        setValue_x(static_cast<float>(std::clamp(value_x() + dx / (b.width() / s), 0.0, 1.0)));
    if (b.height() > 0)
        setValue_y(static_cast<float>(std::clamp(value_y() + dy / (b.height() / s), 0.0, 1.0)));
    lastTouchPoint_ = p;
    reportToHolders(*this, &Lumora_Control::sendActions_UpdateGesture);
}

void Lumora_XySlider_CtrlContainer::onTouchesEnded(Platform::Touch* touch)
{
    if (touch->tapCount() == 2) {
        setValue_x(default_x());
        setValue_y(default_y());
    }
    reportToHolders(*this, &Lumora_Control::sendActions_EndGesture);
}

void Lumora_XySlider_CtrlContainer::onTouchesCancelled(Platform::Touch*)
{
    reportToHolders(*this, &Lumora_Control::sendActions_EndGesture);
}
