#include "screens/settings/panels/PopupInPluginMode_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

bool PopupInPluginMode_SettingPanelView::isOn(Lumora_Settings& s)
{
    return s.popupInPluginMode();
}

void PopupInPluginMode_SettingPanelView::store(Lumora_Settings& s, bool on)
{
    s.setPopupInPluginMode(on);
}
