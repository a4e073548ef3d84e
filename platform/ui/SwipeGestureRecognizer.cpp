#include "platform/ui/SwipeGestureRecognizer.h"

#include <cmath>

namespace Platform {

void SwipeGestureRecognizer::began(TouchSet const&, Event const& event)
{
    if (numberOfTouches() > static_cast<std::size_t>(fingers_)) {
        setState(State::Failed);
        return;
    }
    start_ = centroidInWindow();
    startTime_ = event.timestamp();
}

void SwipeGestureRecognizer::moved(TouchSet const&, Event const& event)
{
    judge(event.timestamp(), false);
}

void SwipeGestureRecognizer::ended(TouchSet const&, Event const& event)
{
    judge(event.timestamp(), true);
}

void SwipeGestureRecognizer::judge(double timestamp, bool lifted)
{
    if (state() != State::Possible)
        return;
    if (timestamp - startTime_ > maximumDuration
        || numberOfTouches() != static_cast<std::size_t>(fingers_)) {
        setState(State::Failed);
        return;
    }
    Point p = centroidInWindow();
    double dx = p.x - start_.x;
    double dy = p.y - start_.y;
    // The dominant axis decides the direction; the travel along it decides the swipe.
    bool horizontal = std::fabs(dx) >= std::fabs(dy);
    unsigned dir = horizontal ? (dx >= 0 ? Right : Left) : (dy >= 0 ? Down : Up);
    double travel = horizontal ? std::fabs(dx) : std::fabs(dy);
    if (travel >= minimumDistance) {
        setState((direction_ & dir) ? State::Ended : State::Failed);
        return;
    }
    if (lifted)
        setState(State::Failed);
}

} // namespace Platform
