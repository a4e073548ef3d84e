#include "screens/settings/sync/BluetoothMidiDevices_SettingPanelView.h"

#include "platform/ui/BluetoothMidiCentralViewController.h"

void BluetoothMidiDevices_SettingPanelView::actionShowBluetoothMidiDevices(Platform::Control*)
{
    pushSubScreen(Platform::newObject<Platform::BluetoothMidiCentralViewController>());
}
