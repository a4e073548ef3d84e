#pragma once

#include "screens/settings/base/Lumora_SettingPanelView.h"

namespace Platform {
class Control;
}

// A button that silences every sounding note: control change 123 (all notes off) on the channel
// the screens send on, queued for the engine's next render cycle.
class AllNoteOff_SettingPanelView : public Lumora_SettingPanelView {
public:
    static constexpr char const* className = "AllNoteOff_SettingPanelView";
    using Lumora_SettingPanelView::Lumora_SettingPanelView;

    void action(Platform::Control* sender);
};
