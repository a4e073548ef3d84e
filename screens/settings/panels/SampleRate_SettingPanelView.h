#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"

// The sample rate the standalone app opens its audio with. The panel registers like the others
// but shows and changes nothing; no default list holds it, only an opener's own list.
class SampleRate_SettingPanelView : public Lumora_SettingPanelView_forSettings {
public:
    static constexpr char const* className = "SampleRate_SettingPanelView";
    using Lumora_SettingPanelView_forSettings::Lumora_SettingPanelView_forSettings;

    std::string keyForSetting() const override { return "sampleRate"; }
    void updateUI() override {}
    void actionValueChanged(Platform::Control*) {}
};
