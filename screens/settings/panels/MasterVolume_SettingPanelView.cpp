#include "screens/settings/panels/MasterVolume_SettingPanelView.h"

void MasterVolume_SettingPanelView::updateUI()
{
    if (Platform::Slider* s = slider())
        s->setValue(param_getConcreateValue());
}

// The volume is continuous: written as the slider gives it, and not shown again (the slider
// already shows it).
void MasterVolume_SettingPanelView::actionValueChanged(Platform::Control*)
{
    if (Platform::Slider* s = slider())
        param_setConcreateValue(s->value());
}
