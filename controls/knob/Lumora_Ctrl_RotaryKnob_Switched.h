#pragma once

#include "controls/knob/Lumora_Ctrl_RotaryKnob_Base.h"
#include "controls/knob/Lumora_Ctrl_SwitchedLayer.h"

// A knob with positions: three by default, every one capturing, no capture window until one is
// set. A switched knob's value is its position number (shifted to centre on 0 when bipolar).
class Lumora_Ctrl_RotaryKnob_Switched : public Lumora_Ctrl_SwitchedLayer<Lumora_Ctrl_RotaryKnob_Base> {
public:
    explicit Lumora_Ctrl_RotaryKnob_Switched(Platform::Rect frame = {});
};
