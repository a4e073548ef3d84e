#include "platform/ui/x11/TouchTranslator.h"

#include "platform/ui/Window.h"

#include <X11/extensions/XI2.h>

namespace Platform {

void TouchTranslator::begin(int id, double x, double y, double time)
{
    // A sequence whose end we missed (the server restarted the id) is cancelled first.
    if (touches_.count(id))
        cancel(id, time);
    Touch* touch = window_.beginTouch(toPoints(x, y), time);
    touches_[id] = touch;
    lastBegan_ = touch;
}

void TouchTranslator::move(int id, double x, double y, double time)
{
    auto it = touches_.find(id);
    if (it == touches_.end())
        return;
    Point const p = toPoints(x, y);
    if (p == it->second->locationInWindow())
        return;
    window_.moveTouch(it->second, p, time);
}

Touch* TouchTranslator::release(int id)
{
    auto it = touches_.find(id);
    if (it == touches_.end())
        return nullptr;
    Touch* touch = it->second;
    touches_.erase(it);
    if (lastBegan_ == touch)
        lastBegan_ = nullptr;
    return touch;
}

void TouchTranslator::end(int id, double x, double y, double time)
{
    if (Touch* touch = release(id))
        window_.endTouch(touch, toPoints(x, y), time);
}

void TouchTranslator::cancel(int id, double time)
{
    if (Touch* touch = release(id))
        window_.cancelTouch(touch, time);
}

void TouchTranslator::buttonPressed(double x, double y, double time) { begin(kMouse, x, y, time); }
void TouchTranslator::pointerMoved(double x, double y, double time) { move(kMouse, x, y, time); }
void TouchTranslator::buttonReleased(double x, double y, double time) { end(kMouse, x, y, time); }

void TouchTranslator::touchBegan(int id, double x, double y, double time) { begin(id, x, y, time); }
void TouchTranslator::touchMoved(int id, double x, double y, double time) { move(id, x, y, time); }
void TouchTranslator::touchEnded(int id, double x, double y, double time) { end(id, x, y, time); }
void TouchTranslator::touchCancelled(int id, double time) { cancel(id, time); }

void TouchTranslator::handle(XITouchEvent const& event, double time)
{
    // Touch ids are 32-bit server counters; below the mouse's id they never reach.
    int const id = static_cast<int>(static_cast<unsigned>(event.detail) & 0x7FFFFFFF);
    switch (event.evtype) {
    case XI_TouchBegin: touchBegan(id, event.event_x, event.event_y, time); break;
    case XI_TouchUpdate: touchMoved(id, event.event_x, event.event_y, time); break;
    case XI_TouchEnd: touchEnded(id, event.event_x, event.event_y, time); break;
    default: break;
    }
}

void TouchTranslator::cancelAll(double time)
{
    while (!touches_.empty())
        cancel(touches_.begin()->first, time);
}

} // namespace Platform
