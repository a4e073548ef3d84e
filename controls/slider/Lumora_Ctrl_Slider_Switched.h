#pragma once

#include "controls/knob/Lumora_Ctrl_SwitchedLayer.h"
#include "controls/slider/Lumora_Ctrl_Slider_Base.h"

// A slider with positions, exactly as the switched knob: three by default, every one capturing.
class Lumora_Ctrl_Slider_Switched : public Lumora_Ctrl_SwitchedLayer<Lumora_Ctrl_Slider_Base> {
public:
    explicit Lumora_Ctrl_Slider_Switched(Platform::Rect frame = {});
};
