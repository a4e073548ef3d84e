#include "screens/settings/panels/BackgroundAudio_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

bool BackgroundAudio_SettingPanelView::isOn(Lumora_Settings& s)
{
    return s.backgroundAudio();
}

void BackgroundAudio_SettingPanelView::store(Lumora_Settings& s, bool on)
{
    s.setBackgroundAudio(on);
}
