#include "platform/ui/Control.h"

namespace Platform {

void Control::setEnabled(bool enabled)
{
    if (enabled_ != enabled) {
        enabled_ = enabled;
        setNeedsDisplay();
    }
}

void Control::setSelected(bool selected)
{
    if (selected_ != selected) {
        selected_ = selected;
        setNeedsDisplay();
    }
}

void Control::setHighlighted(bool highlighted)
{
    if (highlighted_ != highlighted) {
        highlighted_ = highlighted;
        setNeedsDisplay();
    }
}

unsigned long Control::state() const
{
    unsigned long s = ControlState::Normal;
    if (highlighted_)
        s |= ControlState::Highlighted;
    if (!enabled_)
        s |= ControlState::Disabled;
    if (selected_)
        s |= ControlState::Selected;
    return s;
}

void Control::sendActionsForControlEvents(unsigned long events)
{
    // A target may drop the last reference to this control while it runs.
    std::shared_ptr<View> keep = weak_from_this().expired() ? nullptr : sharedView();
    actions_.send(this, events);
}


bool Control::touchInside(Touch const* touch) const
{
    // The platform counts a generous margin around the control as still inside.
    constexpr double margin = 70;
    return bounds().insetBy(-margin, -margin).contains(touch->locationInView(this));
}

void Control::touchesBegan(TouchSet const& touches, Event const* event)
{
    Touch* touch = touches.anyObject();
    // A disabled control keeps the touches that land on it and does nothing with them.
    if (!touch || tracking_ || !enabled_)
        return;
    tracking_ = beginTracking(touch, event);
    wasInside_ = true;
    touchActive_ = true;
    setHighlighted(true);
    unsigned long events = ControlEvents::TouchDown;
    if (touch->tapCount() > 1)
        events |= ControlEvents::TouchDownRepeat;
    sendActionsForControlEvents(events);
}

void Control::touchesMoved(TouchSet const& touches, Event const* event)
{
    Touch* touch = touches.anyObject();
    if (!touch || !touchActive_)
        return;
    if (tracking_)
        tracking_ = continueTracking(touch, event);
    bool inside = touchInside(touch);
    setHighlighted(inside);
    unsigned long events = inside ? ControlEvents::TouchDragInside : ControlEvents::TouchDragOutside;
    if (inside != wasInside_)
        events |= inside ? ControlEvents::TouchDragEnter : ControlEvents::TouchDragExit;
    wasInside_ = inside;
    sendActionsForControlEvents(events);
}

void Control::touchesEnded(TouchSet const& touches, Event const* event)
{
    Touch* touch = touches.anyObject();
    if (!touch || !touchActive_)
        return;
    touchActive_ = false;
    if (tracking_)
        endTracking(touch, event);
    tracking_ = false;
    bool inside = touchInside(touch);
    setHighlighted(false);
    sendActionsForControlEvents(inside ? ControlEvents::TouchUpInside | ControlEvents::PrimaryActionTriggered
                                       : ControlEvents::TouchUpOutside);
}

void Control::touchesCancelled(TouchSet const&, Event const* event)
{
    if (!touchActive_)
        return;
    touchActive_ = false;
    if (tracking_)
        cancelTracking(event);
    tracking_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(ControlEvents::TouchCancel);
}

bool Control::beginTracking(Touch*, Event const*) { return true; }
bool Control::continueTracking(Touch*, Event const*) { return true; }
void Control::endTracking(Touch*, Event const*) {}
void Control::cancelTracking(Event const*) {}

} // namespace Platform
