#include "controls/lamp/Lumora_Ctrl_Lamp.h"

#include "controls/painter/Lumora_Painter.h"

Lumora_Ctrl_Lamp::Lumora_Ctrl_Lamp(Platform::Rect frame) : Lumora_Control(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

void Lumora_Ctrl_Lamp::setValue(float value)
{
    Lumora_Control::setValue(value);
    // The platform's selected flag follows the brightness, so that isSelected() answers as
    // selected() does.
    Platform::Control::setSelected(value != 0.0f);
    setNeedsDisplay();
}

void Lumora_Ctrl_Lamp::setSelected(bool selected)
{
    setValue(selected ? 1.0f : 0.0f);
}

void Lumora_Ctrl_Lamp::drawRect(Platform::Rect const& rect)
{
    Lumora_Painter::sharedInstance()->drawLampWithFrame(rect, value(), variation());
}
