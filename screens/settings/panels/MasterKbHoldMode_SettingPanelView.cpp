#include "screens/settings/panels/MasterKbHoldMode_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

bool MasterKbHoldMode_SettingPanelView::isOn(Lumora_Settings& s)
{
    return s.keyboardHoldMode() != 0;
}

void MasterKbHoldMode_SettingPanelView::store(Lumora_Settings& s, bool on)
{
    s.setKeyboardHoldMode(on ? 1u : 0u);
}
