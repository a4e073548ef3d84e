#include "platform/ui/PanGestureRecognizer.h"

#include "platform/ui/View.h"

#include <cmath>

namespace Platform {

void PanGestureRecognizer::reset()
{
    GestureRecognizer::reset();
    offsetInWindow_ = {};
    velocity_ = {};
}

void PanGestureRecognizer::began(TouchSet const&, Event const& event)
{
    if (numberOfTouches() > max_) {
        if (state() == State::Possible)
            setState(State::Failed);
        return;
    }
    startInWindow_ = centroidInWindow();
    previous_ = startInWindow_;
    previousTime_ = event.timestamp();
}

void PanGestureRecognizer::moved(TouchSet const&, Event const& event)
{
    Point p = centroidInWindow();
    double dt = event.timestamp() - previousTime_;
    if (dt > 0)
        velocity_ = {(p.x - previous_.x) / dt, (p.y - previous_.y) / dt};
    previous_ = p;
    previousTime_ = event.timestamp();
    if (state() == State::Possible) {
        if (numberOfTouches() < min_)
            return;
        if (std::hypot(p.x - startInWindow_.x, p.y - startInWindow_.y) >= hysteresis)
            setState(State::Began);
        return;
    }
    setState(State::Changed);
}

void PanGestureRecognizer::ended(TouchSet const& touches, Event const&)
{
    if (touches.count() < numberOfTouches())
        return;
    if (state() == State::Began || state() == State::Changed)
        setState(State::Ended);
    else
        setState(State::Failed);
}

Point PanGestureRecognizer::translationInView(View const* view) const
{
    Point now = centroidInWindow();
    Point from = {startInWindow_.x + offsetInWindow_.x, startInWindow_.y + offsetInWindow_.y};
    if (!view)
        return {now.x - from.x, now.y - from.y};
    Point a = view->convertPointFromWindow(from);
    Point b = view->convertPointFromWindow(now);
    return {b.x - a.x, b.y - a.y};
}

void PanGestureRecognizer::setTranslation(Point translation, View const* view)
{
    // Shift the reference so that the current translation reads as given.
    Point now = centroidInWindow();
    Point wanted = translation;
    if (view) {
        Point origin = view->convertPointToWindow({0, 0});
        Point moved = view->convertPointToWindow(translation);
        wanted = {moved.x - origin.x, moved.y - origin.y};
    }
    offsetInWindow_ = {now.x - wanted.x - startInWindow_.x, now.y - wanted.y - startInWindow_.y};
}

Point PanGestureRecognizer::velocityInView(View const* view) const
{
    if (!view)
        return velocity_;
    Point origin = view->convertPointFromWindow({0, 0});
    Point v = view->convertPointFromWindow(velocity_);
    return {v.x - origin.x, v.y - origin.y};
}

} // namespace Platform
