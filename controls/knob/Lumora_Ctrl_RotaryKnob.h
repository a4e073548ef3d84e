#pragma once

#include "controls/knob/Lumora_Ctrl_RotaryKnob_Switched.h"

// The knob that interface files place: continuous, with a detent at its centre (internal 0.5,
// within 0.025) until a bound parameter's type configures it: signed integers make it bipolar and
// switched with one position per value, unsigned integers switched, signed reals bipolar, and an
// on/off parameter makes it hold at either end.
class Lumora_Ctrl_RotaryKnob : public Lumora_Ctrl_RotaryKnob_Switched {
public:
    explicit Lumora_Ctrl_RotaryKnob(Platform::Rect frame = {});

    // Configures the knob from the parameter's type, then binds it (default, then value).
    void setParameter(Lumora::Parameter* parameter) override;
};
