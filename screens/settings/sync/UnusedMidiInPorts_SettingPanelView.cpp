#include "screens/settings/sync/UnusedMidiInPorts_SettingPanelView.h"

#include "screens/settings/sync/MidiPortSelectorVwCtrlr.h"

void UnusedMidiInPorts_SettingPanelView::actionShowMidiInPorsList(Platform::Control*)
{
    pushSubScreen(MidiPortSelectorVwCtrlr::create(core()));
}
