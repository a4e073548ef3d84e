#include "screens/settings/panels/MasterTranspose_SettingPanelView.h"

#include <cmath>

void MasterTranspose_SettingPanelView::updateUI()
{
    int const v = static_cast<int>(std::trunc(param_getConcreateValue()));
    outlets_.showValue(v);
    outlets_.showText(Lumora_SliderStepperOutlets::signedText(v));
}

void MasterTranspose_SettingPanelView::actionValueChanged(Platform::Control* sender)
{
    param_setConcreateValue(std::round(static_cast<float>(outlets_.raw(sender))));
    updateUI();
}
