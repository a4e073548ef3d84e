#pragma once

#include "controls/base/Lumora_Control.h"

// A control without a face: hidden and untouchable, it only holds one normalized value, so that
// a view editing several parameters at once (the XY pad) can have each bound by tag like any
// knob. Its owner changes its value and sends the reports on its behalf.
class Lumora_Ctrl_InvisibleAgent : public Lumora_Control {
public:
    explicit Lumora_Ctrl_InvisibleAgent(Platform::Rect frame = {});

    // The value is the normalized value, stored as given (the parameter clamps). Setting the
    // value already held does nothing; a value that is not a number is ignored.
    void setValue(float value) override;
    float normalizedValue() const override { return value(); }
    void setNormalizedValue(float value) override { setValue(value); }
    float normalizedDefaultValue() const override { return defaultValue(); }
    void setNormalizedDefaultValue(float value) override { setDefaultValue(value); }

    void drawRect(Platform::Rect const&) override {}
};
