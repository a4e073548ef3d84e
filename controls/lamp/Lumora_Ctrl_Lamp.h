#pragma once

#include "controls/base/Lumora_Control.h"

// A read-only indicator whose brightness is its value, from 0 (off) to 1 (fully lit). Its value
// and normalized value are the same number; it is selected while its value is not 0. Lamps are
// the steps of lamp selectors (their tags are the selector's integers); a lamp bound to a
// parameter on its own shows the parameter's normalized value.
class Lumora_Ctrl_Lamp : public Lumora_Control {
public:
    explicit Lumora_Ctrl_Lamp(Platform::Rect frame = {});

    // Stores the value (the delegate hears of a change), keeps the selected state in step with
    // it, and redraws.
    void setValue(float value) override;
    float normalizedValue() const override { return value(); }
    void setNormalizedValue(float value) override { setValue(value); }
    float normalizedDefaultValue() const override { return defaultValue(); }
    void setNormalizedDefaultValue(float value) override { setDefaultValue(value); }
    bool isReadOnly() const override { return true; }

    // Lit at all: the value is not 0. Selecting lights the lamp fully, deselecting puts it out.
    bool selected() const { return value() != 0.0f; }
    void setSelected(bool selected) override;

    void drawRect(Platform::Rect const& rect) override;
};
