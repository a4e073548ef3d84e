#include "screens/settings/panels/UsePgListAsFctryForAUv3Host_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

bool UsePgListAsFctryForAUv3Host_SettingPanelView::isOn(Lumora_Settings& s)
{
    return s.useProgListAsFactoryPrisetForAUv3Host();
}

void UsePgListAsFctryForAUv3Host_SettingPanelView::store(Lumora_Settings& s, bool on)
{
    s.setUseProgListAsFactoryPrisetForAUv3Host(on);
}
