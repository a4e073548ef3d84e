#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace Platform {

// Begins once the fingers have rested for the minimum duration without moving further than the
// allowable movement; then reports changes as they move and ends when they lift (continuous).
class LongPressGestureRecognizer : public GestureRecognizer {
public:
    double minimumPressDuration() const { return duration_; }
    void setMinimumPressDuration(double seconds) { duration_ = seconds; }
    double allowableMovement() const { return movement_; }
    void setAllowableMovement(double points) { movement_ = points; }
    int numberOfTouchesRequired() const { return fingers_; }
    void setNumberOfTouchesRequired(int fingers) { fingers_ = fingers; }

protected:
    void began(TouchSet const& touches, Event const& event) override;
    void moved(TouchSet const& touches, Event const& event) override;
    void ended(TouchSet const& touches, Event const& event) override;
    void timePassed(double timestamp) override;

private:
    double duration_ = 0.5;
    double movement_ = 10;
    int fingers_ = 1;
    double startTime_ = 0;
    Point start_;
};

} // namespace Platform
