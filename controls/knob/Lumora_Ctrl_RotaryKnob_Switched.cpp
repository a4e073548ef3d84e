#include "controls/knob/Lumora_Ctrl_RotaryKnob_Switched.h"

Lumora_Ctrl_RotaryKnob_Switched::Lumora_Ctrl_RotaryKnob_Switched(Platform::Rect frame)
    : Lumora_Ctrl_SwitchedLayer<Lumora_Ctrl_RotaryKnob_Base>(frame)
{
    setNumOfSwitches(3);
    setSnapOptions(SnapInner | SnapFirst | SnapLast);
}
