#pragma once

#include "controls/base/Lumora_Control.h"

// What the rotary knob and the slider share below their drag arithmetic: the internal value
// (the position along the control's travel, 0..1), the bipolar conversion to and from the
// external value, and the touch phases of a drag (begin, move, end with the double-tap reset,
// cancel). Each family supplies its drag step (updateInternalValue) and its drawing.
//
// Three representations of one state: the internal value (what drags accumulate and what is
// drawn), value() (the control's own units: v, or 2v - 1 when bipolar) and normalizedValue()
// (what the bound parameter receives: the shown internal value).
class Lumora_Ctrl_TravelBase : public Lumora_Control {
public:
    explicit Lumora_Ctrl_TravelBase(Platform::Rect frame = {});

    // The external value of an internal one and back: 2v - 1 and (x + 1) / 2 when bipolar.
    float convertTo_external_from(float internal) const;
    float convertTo_internal_from(float external) const;

    float value() const override;
    // Capture of the switched layer is suspended: a value set by code is never captured.
    void setValue(float value) override;
    float defaultValue() const override;
    void setDefaultValue(float value) override;
    float normalizedValue() const override;
    void setNormalizedValue(float value) override;
    float normalizedDefaultValue() const override;
    void setNormalizedDefaultValue(float value) override;

    // The shown internal value (the captured position's while captured); the raw one.
    virtual float internalValue() const { return internalValue_; }
    float trueInternaValue() const { return internalValue_; }
    // The one setter every movement passes: stores the value clamped to 0..1, tells the
    // delegate of a change of value() and asks for a redraw. A value that is not a number is
    // ignored, so none ever reaches a parameter.
    virtual void setInternalValue(float value);
    float internalDefaultValue() const { return internalDefaultValue_; }
    void setInternalDefaultValue(float value);

    // What is drawn: the shown internal value. The setter keeps a value nothing reads.
    float indicatorPosition() const { return internalValue(); }
    void setIndicatorPosition(float value) { indicatorPositionSet_ = value; }

    bool isBipole() const { return isBipole_; }
    void setIsBipole(bool bipole) { isBipole_ = bipole; }

    // Called when a touch ends normally, after a double-tap reset; empty here.
    virtual void onFinishChangeValue() {}
    // One drag step to the touch location p (the control's own coordinates).
    virtual void updateInternalValue(Platform::Point p) = 0;

    // The direction of a movement from q to p in [0, 2 pi): 0 moving straight down, pi/2 left,
    // pi up, 3 pi/2 right (the screen's y axis points down).
    static float touchAngle(Platform::Point p, Platform::Point lastPoint);
    // A movement in that direction counts as sideways when within 45 degrees of horizontal,
    // the diagonals included (compared in single precision).
    static bool isSidewaysAngle(float angle);

    Platform::Point lastTouchPoint() const { return lastTouchPoint_; }

    // Each phase does the control's own work and then the base routing of the same phase.
    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

protected:
    // The base step of setInternalValue, which the switched layer calls after capturing.
    void storeInternalValue(float value);
    // Touch-down at p: remembers p as the previous touch location.
    virtual void beginDrag(Platform::Point p) { lastTouchPoint_ = p; }
    void setLastTouchPoint(Platform::Point p) { lastTouchPoint_ = p; }

private:
    float internalValue_ = 0;
    float internalDefaultValue_ = 0;
    bool isBipole_ = false;
    Platform::Point lastTouchPoint_;
    float indicatorPositionSet_ = 0;
};

// Clamped to 0..1.
float Lumora_clamp01(float value);
