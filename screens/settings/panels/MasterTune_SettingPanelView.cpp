#include "screens/settings/panels/MasterTune_SettingPanelView.h"

#include <cmath>

// Shown and set in whole cents: one unit of the parameter is 100 cents.
void MasterTune_SettingPanelView::updateUI()
{
    int const cents = static_cast<int>(std::round(param_getConcreateValue() * 100.0f));
    outlets_.showValue(cents);
    outlets_.showText(Lumora_SliderStepperOutlets::signedText(cents));
}

void MasterTune_SettingPanelView::actionValueChanged(Platform::Control* sender)
{
    param_setConcreateValue(std::round(static_cast<float>(outlets_.raw(sender))) / 100.0f);
    updateUI();
}
