#pragma once

#include "controls/base/Lumora_Control.h"

#include <cstdint>

// A button that steps a whole number through min ... max, one step per tap, wrapping from max
// back to min. Each change is one discrete report (gesture state 4). Its normalized value is the
// 0..127 encoding of the engine's unsigned integer parameters.
class Lumora_Ctrl_SwitchSelector : public Lumora_Control {
public:
    explicit Lumora_Ctrl_SwitchSelector(Platform::Rect frame = {});

    bool pressed() const { return pressed_; }
    void setPressed(bool pressed) { pressed_ = pressed; }
    uint32_t min() const { return min_; }
    void setMin(uint32_t min) { min_ = min; }
    uint32_t max() const { return max_; }
    void setMax(uint32_t max) { max_ = max; }

    // Stores the value truncated toward zero to a whole number >= 0.
    void setValue(float value) override;
    float normalizedValue() const override;
    // Rounds m x 127 half away from zero, m taken within 0..1.
    void setNormalizedValue(float value) override;
    float normalizedDefaultValue() const override { return defaultValue(); }
    void setNormalizedDefaultValue(float value) override { setDefaultValue(value); }

    // An integer parameter gives the cycle its bounds; then the base binding.
    void setParameter(Lumora::Parameter* parameter) override;

    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

    void drawRect(Platform::Rect const& rect) override;

private:
    bool pressed_ = false;
    uint32_t min_ = 0;
    uint32_t max_ = 1;
};
