#pragma once

#include "platform/ui/Control.h"

namespace Platform {

// A value between a minimum and a maximum, set by dragging along the track; every change made
// by the finger sends value-changed (only at the end when not continuous).
class Slider : public Control {
public:
    explicit Slider(Rect frame = {});

    float value() const { return value_; }
    // Clamped to the range; sends nothing.
    void setValue(float value, bool animated = false);
    float minimumValue() const { return min_; }
    void setMinimumValue(float min);
    float maximumValue() const { return max_; }
    void setMaximumValue(float max);
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool continuous) { continuous_ = continuous; }

    void drawRect(Rect const& rect) override;

protected:
    bool beginTracking(Touch* touch, Event const* event) override;
    bool continueTracking(Touch* touch, Event const* event) override;
    void endTracking(Touch* touch, Event const* event) override;

private:
    static constexpr double thumbRadius = 14;
    void trackTo(Touch* touch);

    float value_ = 0;
    float min_ = 0;
    float max_ = 1;
    bool continuous_ = true;
    bool changedWhileTracking_ = false;
};

// An on/off switch that flips when tapped.
class Switch : public Control {
public:
    explicit Switch(Rect frame = {});

    bool isOn() const { return on_; }
    void setOn(bool on, bool animated = false);

    void drawRect(Rect const& rect) override;
    void touchesEnded(TouchSet const& touches, Event const* event) override;

private:
    bool on_ = false;
};

// A stepper: minus on its left half, plus on its right; each tap steps the value and sends
// value-changed.
class Stepper : public Control {
public:
    explicit Stepper(Rect frame = {});

    double value() const { return value_; }
    void setValue(double value);
    double minimumValue() const { return min_; }
    void setMinimumValue(double min);
    double maximumValue() const { return max_; }
    void setMaximumValue(double max);
    double stepValue() const { return step_; }
    void setStepValue(double step) { step_ = step; }
    bool wraps() const { return wraps_; }
    void setWraps(bool wraps) { wraps_ = wraps; }

    void drawRect(Rect const& rect) override;
    void touchesBegan(TouchSet const& touches, Event const* event) override;

private:
    double value_ = 0;
    double min_ = 0;
    double max_ = 100;
    double step_ = 1;
    bool wraps_ = false;
};

} // namespace Platform
