#include "screens/settings/panels/IncludeArpSettingsInSoundFile_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

bool IncludeArpSettingsInSoundFile_SettingPanelView::isOn(Lumora_Settings& s)
{
    return s.includeArpSettingsInSoundFile();
}

void IncludeArpSettingsInSoundFile_SettingPanelView::store(Lumora_Settings& s, bool on)
{
    s.setIncludeArpSettingsInSoundFile(on);
}
