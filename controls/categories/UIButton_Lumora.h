#pragma once

#include "platform/graphics/Color.h"
#include "platform/ui/Button.h"

#include <string>

// Button helpers: one title or title colour for the normal, highlighted, disabled and selected
// states, set in that order.
class UIButton_Lumora {
public:
    static void setTitleForAllState(Platform::Button* button, std::string const& title);
    static void setTitleColorForAllState(Platform::Button* button, Platform::Color color);
};
