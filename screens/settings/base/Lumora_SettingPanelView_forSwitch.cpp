#include "screens/settings/base/Lumora_SettingPanelView_forSwitch.h"

#include "model/settings/Lumora_Settings.h"

void Lumora_SettingPanelView_forSwitch::updateUI()
{
    auto s = settings();
    if (Platform::Switch* control = swCtrl(); control && s)
        control->setOn(isOn(*s));
}

void Lumora_SettingPanelView_forSwitch::actionValueChanged(Platform::Control*)
{
    auto s = settings();
    if (Platform::Switch* control = swCtrl(); control && s)
        store(*s, control->isOn());
}
