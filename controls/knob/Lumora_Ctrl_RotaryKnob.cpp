#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"

Lumora_Ctrl_RotaryKnob::Lumora_Ctrl_RotaryKnob(Platform::Rect frame) : Lumora_Ctrl_RotaryKnob_Switched(frame)
{
    setIsSwitched(false);
    setNumOfSwitches(3);
    setSnap(0.05f);
    setSnapOptions(SnapInner);
}

void Lumora_Ctrl_RotaryKnob::setParameter(Lumora::Parameter* parameter)
{
    if (parameter)
        configureFromParameter(*parameter);
    Lumora_Ctrl_RotaryKnob_Switched::setParameter(parameter);
}
