#pragma once

#include "screens/settings/base/Lumora_SettingPanelView.h"

namespace Platform {
class Control;
}

// A button that opens the micro-tuning editor on the settings screen's navigation stack.
class MicroTuning_SettingPanelView : public Lumora_SettingPanelView {
public:
    static constexpr char const* className = "MicroTuning_SettingPanelView";
    // The name the editor's factory is registered under (Lumora_SettingPanelRegistry).
    static constexpr char const* editorName = "MicroTuningEditorVwCtrlr";
    using Lumora_SettingPanelView::Lumora_SettingPanelView;

    void actionShowMicroTuningEditorVw(Platform::Control* sender);
};
