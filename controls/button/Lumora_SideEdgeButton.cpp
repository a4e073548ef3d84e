#include "controls/button/Lumora_SideEdgeButton.h"

#include "controls/painter/Lumora_Painter.h"

Lumora_SideEdgeButton::Lumora_SideEdgeButton(Platform::Rect frame) : Platform::Button(frame)
{
    initButton();
}

void Lumora_SideEdgeButton::awakeFromNib()
{
    Platform::Button::awakeFromNib();
    initButton();
}

void Lumora_SideEdgeButton::initButton()
{
    setBackgroundColor(Platform::Color::clearColor());
    addTarget(static_cast<Platform::View*>(this), &Platform::View::setNeedsDisplay, Platform::ControlEvents::AllEvents);
}

void Lumora_SideEdgeButton::drawRect(Platform::Rect const& rect)
{
    Lumora_Painter::sharedInstance()->drawSideEdgeButtonWithFrame(
        rect, (state() & Platform::ControlState::Highlighted) != 0);
}
