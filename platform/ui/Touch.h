#pragma once

#include "platform/graphics/Geometry.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace Platform {

class View;
class Window;
class GestureRecognizer;

enum class TouchPhase : int { Began = 0, Moved = 1, Stationary = 2, Ended = 3, Cancelled = 4 };

// One finger on the screen, from touch-down to lift or cancellation. The view it first landed on
// (by hit-testing) keeps receiving it in every later phase, wherever the finger goes.
class Touch {
public:
    Touch(Window* window, Point locationInWindow, double timestamp, int tapCount);

    TouchPhase phase() const { return phase_; }
    double timestamp() const { return timestamp_; }
    int tapCount() const { return tapCount_; }
    // The view the touch was delivered to; null when it hit nothing or is gone.
    View* view() const { return viewAlive_.expired() ? nullptr : view_; }
    std::shared_ptr<View> viewRef() const { return viewAlive_.lock(); }
    Window* window() const { return window_; }

    Point locationInWindow() const { return location_; }
    Point previousLocationInWindow() const { return previous_; }
    // The location in a view's own coordinates; in window coordinates for a null view.
    Point locationInView(View const* view) const;
    Point previousLocationInView(View const* view) const;

    // The recognisers that see this touch, collected when it began (its view's and its
    // ancestors'); and whether one of them took the touch away from its view.
    std::vector<std::weak_ptr<GestureRecognizer>> const& gestureRecognizers() const { return recognizers_; }
    bool isTakenByRecognizer() const { return taken_; }

private:
    friend class Window;

    Window* window_;
    View* view_ = nullptr;
    std::weak_ptr<View> viewAlive_;
    TouchPhase phase_ = TouchPhase::Began;
    Point location_;
    Point previous_;
    double timestamp_;
    int tapCount_;
    std::vector<std::weak_ptr<GestureRecognizer>> recognizers_;
    bool taken_ = false;
};

// The touches of one phase handed to a responder (the platform's unordered set, in the order the
// touches were made).
class TouchSet {
public:
    TouchSet() = default;
    explicit TouchSet(std::vector<Touch*> touches) : touches_(std::move(touches)) {}

    std::size_t count() const { return touches_.size(); }
    bool empty() const { return touches_.empty(); }
    // Any member (the first), null when empty.
    Touch* anyObject() const { return touches_.empty() ? nullptr : touches_.front(); }
    bool contains(Touch const* touch) const;
    void add(Touch* touch);

    std::vector<Touch*>::const_iterator begin() const { return touches_.begin(); }
    std::vector<Touch*>::const_iterator end() const { return touches_.end(); }

private:
    std::vector<Touch*> touches_;
};

// One delivery of touch changes: every touch on the screen at that moment, changed or not.
class Event {
public:
    Event(double timestamp, TouchSet allTouches) : timestamp_(timestamp), all_(std::move(allTouches)) {}

    double timestamp() const { return timestamp_; }
    TouchSet const& allTouches() const { return all_; }
    // The touches whose view is `view`.
    TouchSet touchesForView(View const* view) const;

private:
    double timestamp_;
    TouchSet all_;
};

} // namespace Platform
