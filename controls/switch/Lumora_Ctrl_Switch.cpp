#include "controls/switch/Lumora_Ctrl_Switch.h"

#include "controls/painter/Lumora_Painter.h"

Lumora_Ctrl_Switch::Lumora_Ctrl_Switch(Platform::Rect frame) : Lumora_Control(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

void Lumora_Ctrl_Switch::setValue(float value)
{
    bool const on = value != 0;
    Lumora_Control::setValue(on ? 1.0f : 0.0f);
    Platform::Control::setSelected(on);
    setNeedsDisplay();
}

void Lumora_Ctrl_Switch::setSelected(bool selected)
{
    setValue(selected ? 1.0f : 0.0f);
}

void Lumora_Ctrl_Switch::changeTo(bool on)
{
    setSelected(on);
    sendActions_SetValue();
}

void Lumora_Ctrl_Switch::onTouchesBegan(Platform::TouchSet const&, Platform::Event const*)
{
    if (type_ == ToggleOnTouchDown)
        changeTo(!isSelected());
    else if (type_ != ToggleOnTouchUp)
        changeTo(true);
    pressed_ = true;
    setNeedsDisplay();
}

void Lumora_Ctrl_Switch::onTouchesEnded(Platform::TouchSet const&, Platform::Event const*)
{
    if (type_ == ToggleOnTouchUp)
        changeTo(!isSelected());
    else if (type_ != ToggleOnTouchDown)
        changeTo(false);
    pressed_ = false;
    setNeedsDisplay();
}

// A touch taken away (by the system or a gesture recogniser) is a finger that has left: the
// switch no longer looks held and a momentary switch lets go, as at touch-up. A toggle that had
// not completed stays as it was.
void Lumora_Ctrl_Switch::onTouchesCancelled(Platform::TouchSet const&, Platform::Event const*)
{
    if (!pressed_)
        return;
    if (type_ != ToggleOnTouchDown && type_ != ToggleOnTouchUp)
        changeTo(false);
    pressed_ = false;
    setNeedsDisplay();
}

void Lumora_Ctrl_Switch::drawRect(Platform::Rect const& rect)
{
    Lumora_Painter::sharedInstance()->drawSwitchWithFrame(rect, isSelected(), pressed_, disabled(), variation());
}
