#include "screens/settings/panels/KeyboardSize_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

#include <cmath>

void KeyboardSize_SettingPanelView::updateUI()
{
    if (auto s = settings())
        outlets_.showValue(static_cast<int>(std::trunc(s->keyboardSize())));
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
