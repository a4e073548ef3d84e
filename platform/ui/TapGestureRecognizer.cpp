#include "platform/ui/TapGestureRecognizer.h"

#include <algorithm>
#include <cmath>

namespace Platform {

void TapGestureRecognizer::began(TouchSet const& touches, Event const&)
{
    Touch* touch = touches.anyObject();
    if (touch && touch->tapCount() <= 1) {
        start_ = centroidInWindow();
        maxFingers_ = 0;
    }
    maxFingers_ = std::max(maxFingers_, numberOfTouches());
    if (maxFingers_ > static_cast<std::size_t>(fingers_))
        setState(State::Failed);
}

void TapGestureRecognizer::moved(TouchSet const&, Event const&)
{
    Point p = centroidInWindow();
    if (std::hypot(p.x - start_.x, p.y - start_.y) > allowableMovement)
        setState(State::Failed);
}

void TapGestureRecognizer::ended(TouchSet const& touches, Event const&)
{
    // Judged when the last finger lifts.
    if (touches.count() < numberOfTouches())
        return;
    Touch* touch = touches.anyObject();
    int count = touch ? touch->tapCount() : 0;
    if (maxFingers_ != static_cast<std::size_t>(fingers_) || count > taps_)
        setState(State::Failed);
    else if (count == taps_)
        setState(State::Ended);
    // Fewer taps so far: wait for the next one.
}

} // namespace Platform
