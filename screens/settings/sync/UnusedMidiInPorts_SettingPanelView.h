#pragma once

#include "screens/settings/base/Lumora_SettingPanelView.h"

namespace Platform {
class Control;
}

// A button that opens the MIDI input port selector.
class UnusedMidiInPorts_SettingPanelView : public Lumora_SettingPanelView {
public:
    static constexpr char const* className = "UnusedMidiInPorts_SettingPanelView";
    using Lumora_SettingPanelView::Lumora_SettingPanelView;

    void actionShowMidiInPorsList(Platform::Control* sender);
};
