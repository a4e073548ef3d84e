#include "platform/ui/GestureRecognizer.h"

#include "platform/ui/View.h"

#include <algorithm>

namespace Platform {

void GestureRecognizer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    if (!enabled && (state_ == State::Began || state_ == State::Changed))
        setState(State::Cancelled);
}

Point GestureRecognizer::centroidInWindow() const
{
    if (touches_.empty())
        return lastLocation_;
    Point sum;
    for (Touch* t : touches_) {
        sum.x += t->locationInWindow().x;
        sum.y += t->locationInWindow().y;
    }
    double n = static_cast<double>(touches_.size());
    return {sum.x / n, sum.y / n};
}

Point GestureRecognizer::locationInView(View const* view) const
{
    Point p = centroidInWindow();
    return view ? view->convertPointFromWindow(p) : p;
}

bool GestureRecognizer::isFinished() const
{
    return state_ == State::Ended || state_ == State::Cancelled || state_ == State::Failed;
}

void GestureRecognizer::failIfUndecided()
{
    if (state_ == State::Possible)
        state_ = State::Failed;
}

void GestureRecognizer::handleTouches(TouchPhase phase, TouchSet const& touches, Event const& event)
{
    bool const lifting = phase == TouchPhase::Ended || phase == TouchPhase::Cancelled;
    // A disabled recogniser still lets go of its touches, so it holds none that have ended.
    if (!enabled_) {
        if (lifting) {
            lastLocation_ = centroidInWindow();
            std::erase_if(touches_, [&](Touch* t) { return touches.contains(t); });
        }
        return;
    }
    if (phase == TouchPhase::Began)
        for (Touch* t : touches)
            if (std::find(touches_.begin(), touches_.end(), t) == touches_.end())
                touches_.push_back(t);
    bool const undecidedOrRunning = !isFinished();
    if (undecidedOrRunning) {
        switch (phase) {
        case TouchPhase::Began: began(touches, event); break;
        case TouchPhase::Moved:
        case TouchPhase::Stationary: moved(touches, event); break;
        case TouchPhase::Ended: ended(touches, event); break;
        case TouchPhase::Cancelled: cancelled(touches, event); break;
        }
    }
    if (lifting) {
        lastLocation_ = centroidInWindow();
        std::erase_if(touches_, [&](Touch* t) { return touches.contains(t); });
    }
}

void GestureRecognizer::handleTime(double timestamp)
{
    if (enabled_ && !isFinished())
        timePassed(timestamp);
}

void GestureRecognizer::cancelled(TouchSet const&, Event const&)
{
    if (state_ == State::Began || state_ == State::Changed)
        setState(State::Cancelled);
    else
        setState(State::Failed);
}

void GestureRecognizer::reset()
{
    state_ = State::Possible;
    touches_.clear();
}

void GestureRecognizer::setState(State state)
{
    bool const starting = state_ == State::Possible && (state == State::Began || state == State::Ended);
    if (starting && view_ && !view_->gestureRecognizerShouldBegin(this))
        state = State::Failed;
    state_ = state;
    if (state == State::Possible || state == State::Failed)
        return;
    // A target may release the view and with it this recogniser.
    std::shared_ptr<Object> keep = weak_from_this().lock();
    actions_.send(this, 1);
}

} // namespace Platform
