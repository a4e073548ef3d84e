#include "controls/xypad/Lumora_XySlider_TouchEvHandlerView.h"

Lumora_XySlider_TouchEvHandlerView::Lumora_XySlider_TouchEvHandlerView(Platform::Rect frame) : Platform::Control(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

Platform::Touch* Lumora_XySlider_TouchEvHandlerView::touchOfPhase(Platform::TouchSet const& touches,
                                                                 Platform::Event const* event) const
{
    // Without an event (a direct call) the phase's own touches stand for the event's.
    return event ? event->touchesForView(this).anyObject() : touches.anyObject();
}

// In each phase: with a delegate but no touch of this view, the phase ends here; otherwise the
// delegate gets one touch and the platform's handling runs.
void Lumora_XySlider_TouchEvHandlerView::touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (auto* d = delegate()) {
        Platform::Touch* touch = touchOfPhase(touches, event);
        if (!touch)
            return;
        d->onTouchesBegan(touch);
    }
    Platform::Control::touchesBegan(touches, event);
}

void Lumora_XySlider_TouchEvHandlerView::touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (auto* d = delegate()) {
        Platform::Touch* touch = touchOfPhase(touches, event);
        if (!touch)
            return;
        d->onTouchesMoved(touch);
    }
    Platform::Control::touchesMoved(touches, event);
}

void Lumora_XySlider_TouchEvHandlerView::touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (auto* d = delegate()) {
        Platform::Touch* touch = touchOfPhase(touches, event);
        if (!touch)
            return;
        d->onTouchesEnded(touch);
    }
    Platform::Control::touchesEnded(touches, event);
}

void Lumora_XySlider_TouchEvHandlerView::touchesCancelled(Platform::TouchSet const& touches,
                                                          Platform::Event const* event)
{
    if (auto* d = delegate()) {
        Platform::Touch* touch = touchOfPhase(touches, event);
        if (!touch)
            return;
        d->onTouchesCancelled(touch);
    }
    Platform::Control::touchesCancelled(touches, event);
}
