#pragma once

#include "controls/slider/Lumora_Ctrl_Slider_Switched.h"

// The slider that interface files place (and the base of the arpeggiator's program fader):
// continuous with a detent at its centre until a bound parameter's type configures it, as the
// rotary knob.
class Lumora_Ctrl_Slider : public Lumora_Ctrl_Slider_Switched {
public:
    explicit Lumora_Ctrl_Slider(Platform::Rect frame = {});

    // Configures the slider from the parameter's type, then binds it (default, then value).
    void setParameter(Lumora::Parameter* parameter) override;
};
