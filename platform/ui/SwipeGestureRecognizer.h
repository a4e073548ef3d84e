#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace Platform {

// Recognised when the fingers travel far enough, quickly enough, mainly in one of its allowed
// directions (discrete).
class SwipeGestureRecognizer : public GestureRecognizer {
public:
    enum Direction : unsigned { Right = 1, Left = 2, Up = 4, Down = 8 };

    static constexpr double minimumDistance = 50;
    static constexpr double maximumDuration = 0.5;

    unsigned direction() const { return direction_; }
    void setDirection(unsigned directions) { direction_ = directions; }
    int numberOfTouchesRequired() const { return fingers_; }
    void setNumberOfTouchesRequired(int fingers) { fingers_ = fingers; }

protected:
    void began(TouchSet const& touches, Event const& event) override;
    void moved(TouchSet const& touches, Event const& event) override;
    void ended(TouchSet const& touches, Event const& event) override;

private:
    void judge(double timestamp, bool lifted);

    unsigned direction_ = Right;
    int fingers_ = 1;
    Point start_;
    double startTime_ = 0;
};

} // namespace Platform
