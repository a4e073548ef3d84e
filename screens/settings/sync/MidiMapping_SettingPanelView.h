#pragma once

#include "screens/settings/base/Lumora_SettingPanelView.h"

namespace Platform {
class Control;
}

// A button that opens the document browser of MIDI-mapping documents.
class MidiMapping_SettingPanelView : public Lumora_SettingPanelView {
public:
    static constexpr char const* className = "MidiMapping_SettingPanelView";
    using Lumora_SettingPanelView::Lumora_SettingPanelView;

    void actionShowMidiMappingFileMng(Platform::Control* sender);
};
