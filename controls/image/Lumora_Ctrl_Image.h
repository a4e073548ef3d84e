#pragma once

#include "controls/base/Lumora_Control.h"

#include <cstdint>

// A small whole-number state shown as a picture that the installed theme draws (one look per
// value, with an optional badge number). With touchOperated set, each tap steps the value from
// min to max and round to min again, reported as a single change. The value is kept as an
// unsigned whole number and exchanged with parameters in the 0..127 encoding of the engine's
// integer parameters.
class Lumora_Ctrl_Image : public Lumora_Control {
public:
    explicit Lumora_Ctrl_Image(Platform::Rect frame = {});

    bool pressed() const { return pressed_; }
    void setPressed(bool pressed) { pressed_ = pressed; }
    int32_t badge() const { return badge_; }
    void setBadge(int32_t badge) { badge_ = badge; }
    // In points; 0 or less leaves the corners square. Takes effect at the next constraint update.
    float cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(float radius);
    bool touchOperated() const { return touchOperated_; }
    void setTouchOperated(bool operated) { touchOperated_ = operated; }
    uint32_t min() const { return min_; }
    void setMin(uint32_t min) { min_ = min; }
    uint32_t max() const { return max_; }
    void setMax(uint32_t max) { max_ = max; }

    // The value truncated toward zero to an unsigned whole number (negative gives 0); a value
    // that is not a number is ignored.
    void setValue(float value) override;
    // clamp(value, 0, 127) / 127.
    float normalizedValue() const override;
    // The nearest whole number of 127 steps, halves away from zero; below 0 gives 0, above 1 127.
    void setNormalizedValue(float value) override;
    float normalizedDefaultValue() const override { return defaultValue(); }
    void setNormalizedDefaultValue(float value) override { setDefaultValue(value); }
    // An integer parameter gives its concrete bounds as min and max before the binding.
    void setParameter(Lumora::Parameter* parameter) override;

    void updateConstraints() override;
    void drawRect(Platform::Rect const& rect) override;

    // Touch-down and touch-up are the control's own, without the base routing; moves go
    // through the base routing and change nothing.
    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;

    // The value as the unsigned whole number it holds.
    uint32_t unsignedValue() const;

protected:
    // What a completed tap does before the pressed look goes: steps the value when touch
    // operated. The combo box opens its list instead.
    virtual void tapped();
    // A touch taken away lets go of the pressed look; the value stays.
    void onTouchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

private:
    void initialize_image();

    bool pressed_ = false;
    int32_t badge_ = 0;
    float cornerRadius_ = 0;
    bool touchOperated_ = false;
    uint32_t min_ = 0;
    uint32_t max_ = 1;
};
