#include "controls/xypad/Lumora_XySlider_TouchEvHandlerView.h"

#include "controls/categories/UIEvent_Lumora.h"

namespace {

using Phase = void (Lumora_XySlider_TouchEvHandlerView_Delegate::*)(Platform::Touch*);

// Gives the delegate one touch of the phase. With a delegate but no touch of this view the phase
// ends here: answers false, and the platform's handling must not run.
bool handOver(Lumora_XySlider_TouchEvHandlerView const& view, Phase phase, Platform::TouchSet const& touches,
              Platform::Event const* event)
{
    Lumora_XySlider_TouchEvHandlerView_Delegate* d = view.delegate();
    if (!d)
        return true;
    Platform::Touch* touch = UIEvent_Lumora::touchForView(&view, touches, event);
    if (!touch)
        return false;
    (d->*phase)(touch);
    return true;
}

} // namespace

Lumora_XySlider_TouchEvHandlerView::Lumora_XySlider_TouchEvHandlerView(Platform::Rect frame) : Platform::Control(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

void Lumora_XySlider_TouchEvHandlerView::touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (handOver(*this, &Lumora_XySlider_TouchEvHandlerView_Delegate::onTouchesBegan, touches, event))
        Platform::Control::touchesBegan(touches, event);
}

void Lumora_XySlider_TouchEvHandlerView::touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (handOver(*this, &Lumora_XySlider_TouchEvHandlerView_Delegate::onTouchesMoved, touches, event))
        Platform::Control::touchesMoved(touches, event);
}

void Lumora_XySlider_TouchEvHandlerView::touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (handOver(*this, &Lumora_XySlider_TouchEvHandlerView_Delegate::onTouchesEnded, touches, event))
        Platform::Control::touchesEnded(touches, event);
}

void Lumora_XySlider_TouchEvHandlerView::touchesCancelled(Platform::TouchSet const& touches,
                                                          Platform::Event const* event)
{
    if (handOver(*this, &Lumora_XySlider_TouchEvHandlerView_Delegate::onTouchesCancelled, touches, event))
        Platform::Control::touchesCancelled(touches, event);
}
