#include "controls/agent/Lumora_Ctrl_InvisibleAgent.h"

#include <cmath>

Lumora_Ctrl_InvisibleAgent::Lumora_Ctrl_InvisibleAgent(Platform::Rect frame) : Lumora_Control(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
    setUserInteractionEnabled(false);
    setHidden(true);
}

void Lumora_Ctrl_InvisibleAgent::setValue(float value)
{
    if (std::isnan(value) || value == this->value())
        return;
    Lumora_Control::setValue(value);
    setNeedsDisplay();
}
