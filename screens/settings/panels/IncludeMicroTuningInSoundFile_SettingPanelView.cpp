#include "screens/settings/panels/IncludeMicroTuningInSoundFile_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

bool IncludeMicroTuningInSoundFile_SettingPanelView::isOn(Lumora_Settings& s)
{
    return s.includeMicroTunungInSoundFile();
}

void IncludeMicroTuningInSoundFile_SettingPanelView::store(Lumora_Settings& s, bool on)
{
    s.setIncludeMicroTunungInSoundFile(on);
}
