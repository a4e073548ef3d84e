#include "screens/settings/sync/MidiMappingTakeoverMode_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

int MidiMappingTakeoverMode_SettingPanelView::segmentOf(Lumora_Settings& settings)
{
    return static_cast<int>(settings.midiMapTakeoverMode());
}

// No segment selected stores nothing: a stored -1 would read back as a huge mode.
void MidiMappingTakeoverMode_SettingPanelView::store(Lumora_Settings& settings, int segment)
{
    if (segment >= 0)
        settings.setMidiMapTakeoverMode(static_cast<std::uint32_t>(segment));
}
