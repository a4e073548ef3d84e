#include "controls/slider/Lumora_Ctrl_Slider.h"

Lumora_Ctrl_Slider::Lumora_Ctrl_Slider(Platform::Rect frame) : Lumora_Ctrl_Slider_Switched(frame)
{
    setIsSwitched(false);
    setNumOfSwitches(3);
    setSnap(0.05f);
    setSnapOptions(SnapInner);
}

void Lumora_Ctrl_Slider::setParameter(Lumora::Parameter* parameter)
{
    if (parameter)
        configureFromParameter(*parameter);
    Lumora_Ctrl_Slider_Switched::setParameter(parameter);
}
