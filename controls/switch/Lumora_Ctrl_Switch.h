#pragma once

#include "controls/base/Lumora_Control.h"

#include <cstdint>

// An on/off button whose value is 0 or 1. Type 0 toggles at touch-up, type 1 at touch-down, any
// other type is momentary (on while held). Every change is reported as one discrete change
// (gesture state 4), never as a gesture. Drawn by the installed theme.
class Lumora_Ctrl_Switch : public Lumora_Control {
public:
    static constexpr int64_t ToggleOnTouchUp = 0;
    static constexpr int64_t ToggleOnTouchDown = 1;
    static constexpr int64_t Momentary = 2;

    explicit Lumora_Ctrl_Switch(Platform::Rect frame = {});

    bool pressed() const { return pressed_; }
    void setPressed(bool pressed) { pressed_ = pressed; }
    int64_t type() const { return type_; }
    void setType(int64_t type) { type_ = type; }
    // Toggling types are 0 and 1; setting toggled picks type 0, clearing it type 2.
    bool toggled() const { return type_ != Momentary; }
    void setToggled(bool toggled) { type_ = toggled ? ToggleOnTouchUp : Momentary; }

    // 0 stays 0, any other value (negative ones too) is 1; the platform's selected state follows.
    void setValue(float value) override;
    void setSelected(bool selected) override;
    // The bound parameter sees 0 or 1; any non-zero value from it turns the switch on.
    float normalizedValue() const override { return value(); }
    void setNormalizedValue(float value) override { setValue(value); }
    float normalizedDefaultValue() const override { return defaultValue(); }
    void setNormalizedDefaultValue(float value) override { setDefaultValue(value); }

    void drawRect(Platform::Rect const& rect) override;

protected:
    void onTouchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void onTouchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void onTouchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

private:
    // What a toggle or a press does: the new state, then one report.
    void changeTo(bool on);

    bool pressed_ = false;
    int64_t type_ = ToggleOnTouchUp;
};
