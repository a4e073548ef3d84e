#pragma once

#include "screens/settings/base/Lumora_SettingPanelView.h"

namespace Platform {
class Control;
}

// A button that opens the platform's Bluetooth MIDI pairing screen.
class BluetoothMidiDevices_SettingPanelView : public Lumora_SettingPanelView {
public:
    static constexpr char const* className = "BluetoothMidiDevices_SettingPanelView";
    using Lumora_SettingPanelView::Lumora_SettingPanelView;

    void actionShowBluetoothMidiDevices(Platform::Control* sender);
};
