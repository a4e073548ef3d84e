#include "platform/ui/LongPressGestureRecognizer.h"

#include <cmath>

namespace Platform {

void LongPressGestureRecognizer::began(TouchSet const&, Event const& event)
{
    if (state() != State::Possible)
        return;
    if (numberOfTouches() > static_cast<std::size_t>(fingers_)) {
        setState(State::Failed);
        return;
    }
    startTime_ = event.timestamp();
    start_ = centroidInWindow();
}

void LongPressGestureRecognizer::timePassed(double timestamp)
{
    if (state() == State::Possible && numberOfTouches() == static_cast<std::size_t>(fingers_)
        && timestamp - startTime_ >= duration_)
        setState(State::Began);
}

void LongPressGestureRecognizer::moved(TouchSet const&, Event const& event)
{
    if (state() == State::Possible) {
        Point p = centroidInWindow();
        if (std::hypot(p.x - start_.x, p.y - start_.y) > movement_) {
            setState(State::Failed);
            return;
        }
        timePassed(event.timestamp());
        return;
    }
    setState(State::Changed);
}

void LongPressGestureRecognizer::ended(TouchSet const&, Event const& event)
{
    if (state() == State::Possible)
        timePassed(event.timestamp());
    if (state() == State::Began || state() == State::Changed)
        setState(State::Ended);
    else
        setState(State::Failed);
}

} // namespace Platform
