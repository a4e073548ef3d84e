#pragma once

#include "platform/ui/ViewController.h"

namespace Platform {

// The system's Bluetooth MIDI pairing screen. This platform pairs nothing: the screen says so.
class BluetoothMidiCentralViewController : public ViewController {
public:
    static constexpr char const* message = "No Bluetooth MIDI devices";
    void viewDidLoad() override;
};

} // namespace Platform
