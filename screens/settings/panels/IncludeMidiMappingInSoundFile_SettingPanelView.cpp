#include "screens/settings/panels/IncludeMidiMappingInSoundFile_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

bool IncludeMidiMappingInSoundFile_SettingPanelView::isOn(Lumora_Settings& s)
{
    return s.includeMidiMappingInSoundFile();
}

void IncludeMidiMappingInSoundFile_SettingPanelView::store(Lumora_Settings& s, bool on)
{
    s.setIncludeMidiMappingInSoundFile(on);
}
