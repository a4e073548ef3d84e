#include "controls/graph/LongTapObserver.h"

#include <chrono>
#include <cmath>

namespace {

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

LongTapObserver::LongTapObserver() : clock_(steadySeconds)
{
    active_ = false;
    allowableMovement_ = 1.0;
    minimumPressDuration_ = 0.25;
    reset();
}

LongTapObserver::~LongTapObserver()
{
    // The timer's block refers to this object: it must never fire once the object is gone.
    dropTimer();
}

void LongTapObserver::dropTimer()
{
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
}

void LongTapObserver::reset()
{
    dropTimer();
    lastTime_ = now();
    lastPoint_ = {0, 0};
    longPressed_ = false;
}

void LongTapObserver::setActive(bool active)
{
    active_ = active;
    if (!active)
        reset();
}

bool LongTapObserver::updatePoint(Platform::Point point)
{
    if (!active_) {
        longPressed_ = false;
        return false;
    }
    if (!longPressed_) {
        double const d = std::hypot(point.x - lastPoint_.x, point.y - lastPoint_.y);
        lastPoint_ = point;
        if (d > allowableMovement_) {
            lastTime_ = now();
            longPressed_ = false;
        } else {
            longPressed_ = now() - lastTime_ > minimumPressDuration_;
        }
    }
    if (!longPressed_)
        schedule();
    return longPressed_;
}

void LongTapObserver::schedule()
{
    dropTimer();
    timer_ = Platform::RunLoop::main().scheduledTimer(minimumPressDuration_, false,
                                                      [this](Platform::Timer&) { onTimer(); });
}

void LongTapObserver::onTimer()
{
    longPressed_ = true;
    dropTimer();
}
