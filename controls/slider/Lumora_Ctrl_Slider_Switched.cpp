#include "controls/slider/Lumora_Ctrl_Slider_Switched.h"

Lumora_Ctrl_Slider_Switched::Lumora_Ctrl_Slider_Switched(Platform::Rect frame)
    : Lumora_Ctrl_SwitchedLayer<Lumora_Ctrl_Slider_Base>(frame)
{
    setNumOfSwitches(3);
    setSnapOptions(SnapInner | SnapFirst | SnapLast);
}
