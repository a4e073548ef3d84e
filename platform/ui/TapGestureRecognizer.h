#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace Platform {

// Recognised when the required number of fingers lift for the required tap count without having
// moved more than a few points (discrete).
class TapGestureRecognizer : public GestureRecognizer {
public:
    int numberOfTapsRequired() const { return taps_; }
    void setNumberOfTapsRequired(int taps) { taps_ = taps; }
    int numberOfTouchesRequired() const { return fingers_; }
    void setNumberOfTouchesRequired(int fingers) { fingers_ = fingers; }

    static constexpr double allowableMovement = 10;

protected:
    void began(TouchSet const& touches, Event const& event) override;
    void moved(TouchSet const& touches, Event const& event) override;
    void ended(TouchSet const& touches, Event const& event) override;

private:
    int taps_ = 1;
    int fingers_ = 1;
    Point start_;
    std::size_t maxFingers_ = 0;
};

} // namespace Platform
