#include "controls/categories/UIButton_Lumora.h"

namespace {

constexpr unsigned long allStates[] = {Platform::ControlState::Normal, Platform::ControlState::Highlighted,
                                       Platform::ControlState::Disabled, Platform::ControlState::Selected};

} // namespace

void UIButton_Lumora::setTitleForAllState(Platform::Button* button, std::string const& title)
{
    if (!button)
        return;
    for (unsigned long state : allStates)
        button->setTitle(title, state);
}

void UIButton_Lumora::setTitleColorForAllState(Platform::Button* button, Platform::Color color)
{
    if (!button)
        return;
    for (unsigned long state : allStates)
        button->setTitleColor(color, state);
}
