#include "controls/button/Lumora_Button.h"

#include "controls/painter/Lumora_Painter.h"

Lumora_Button::Lumora_Button(Platform::Rect frame) : Platform::Button(frame)
{
    initButton();
}

void Lumora_Button::awakeFromNib()
{
    Platform::Button::awakeFromNib();
    initButton();
}

void Lumora_Button::initButton()
{
    setBackgroundColor(Platform::Color::clearColor());
    addTarget(static_cast<Platform::View*>(this), &Platform::View::setNeedsDisplay, Platform::ControlEvents::AllEvents);
}

void Lumora_Button::drawRect(Platform::Rect const& rect)
{
    unsigned long const s = state();
    Lumora_Painter::sharedInstance()->drawButtonWithFrame(rect, (s & Platform::ControlState::Selected) != 0,
                                                          (s & Platform::ControlState::Highlighted) != 0,
                                                          (s & Platform::ControlState::Disabled) != 0, variation_);
}
