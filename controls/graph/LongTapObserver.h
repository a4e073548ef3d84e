#pragma once

#include "platform/foundation/Object.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/Geometry.h"

#include <functional>
#include <memory>

// Detects a long press from the finger's successive positions: the press becomes long when a
// position arrives more than minimumPressDuration after the last too-large movement, or when no
// position arrives for that long after the last one (a one-shot timer on the main run loop).
// Movement is measured between successive positions, not from where the finger went down. Once
// long, a press stays long until reset or until detection is switched off.
class LongTapObserver : public Platform::Object {
public:
    // Seconds on a steady clock.
    using Clock = std::function<double()>;

    LongTapObserver();
    ~LongTapObserver() override;

    bool active() const { return active_; }
    // Switching detection off also resets.
    void setActive(bool active);
    bool longPressed() const { return longPressed_; }
    void setLongPressed(bool longPressed) { longPressed_ = longPressed; }
    std::shared_ptr<Platform::Timer> const& timer() const { return timer_; }
    double allowableMovement() const { return allowableMovement_; }
    void setAllowableMovement(double points) { allowableMovement_ = points; }
    double minimumPressDuration() const { return minimumPressDuration_; }
    void setMinimumPressDuration(double seconds) { minimumPressDuration_ = seconds; }
    double lastTime() const { return lastTime_; }
    Platform::Point lastPoint() const { return lastPoint_; }

    // Drops the pending timer and starts over from (0, 0) now, not long.
    void reset();
    // Takes the finger's next position; answers whether the press is long.
    bool updatePoint(Platform::Point point);
    // The pending timer fired: the press is long.
    void onTimer();

    // Where "now" comes from (a test sets its own); the steady clock after construction.
    void setClock(Clock clock) { clock_ = std::move(clock); }
    double now() const { return clock_(); }

private:
    void schedule();
    void dropTimer();

    bool active_ = false;
    bool longPressed_ = false;
    std::shared_ptr<Platform::Timer> timer_;
    double allowableMovement_ = 1.0;
    double minimumPressDuration_ = 0.25;
    double lastTime_ = 0;
    Platform::Point lastPoint_{};
    Clock clock_;
};
