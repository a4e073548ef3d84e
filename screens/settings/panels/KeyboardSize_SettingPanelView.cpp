#include "screens/settings/panels/KeyboardSize_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

#include <cmath>
#include <string>

void KeyboardSize_SettingPanelView::updateUI()
{
    auto s = settings();
    if (!s)
        return;
    int const size = static_cast<int>(std::trunc(s->keyboardSize()));
    outlets_.showValue(size);
    outlets_.showText(std::to_string(size));
}

// The setter keeps the size within 30..100; showing it again puts the controls on what it kept.
void KeyboardSize_SettingPanelView::actionValueChanged(Platform::Control* sender)
{
    auto s = settings();
    if (!s)
        return;
    s->setKeyboardSize(std::round(static_cast<float>(outlets_.raw(sender))));
    updateUI();
}
