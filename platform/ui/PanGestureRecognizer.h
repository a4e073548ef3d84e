#pragma once

#include "platform/ui/GestureRecognizer.h"

#include <cstddef>
#include <limits>

namespace Platform {

// Begins once the fingers have moved a few points, reports every move and ends when they lift
// (continuous). The translation is the centroid's offset from where the fingers came down.
class PanGestureRecognizer : public GestureRecognizer {
public:
    static constexpr double hysteresis = 10;

    std::size_t minimumNumberOfTouches() const { return min_; }
    void setMinimumNumberOfTouches(std::size_t n) { min_ = n; }
    std::size_t maximumNumberOfTouches() const { return max_; }
    void setMaximumNumberOfTouches(std::size_t n) { max_ = n; }

    Point translationInView(View const* view) const;
    void setTranslation(Point translation, View const* view);
    // Points per second, from the last two moves.
    Point velocityInView(View const* view) const;

    void reset() override;

protected:
    void began(TouchSet const& touches, Event const& event) override;
    void moved(TouchSet const& touches, Event const& event) override;
    void ended(TouchSet const& touches, Event const& event) override;

private:
    std::size_t min_ = 1;
    std::size_t max_ = std::numeric_limits<std::size_t>::max();
    Point startInWindow_;
    Point offsetInWindow_;
    Point previous_;
    double previousTime_ = 0;
    Point velocity_;
};

} // namespace Platform
