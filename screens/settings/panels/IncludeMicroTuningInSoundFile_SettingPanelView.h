#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSwitch.h"

// A switch for the setting "includeMicroTunungInSoundFile": sound documents carry the micro-tuning part.
class IncludeMicroTuningInSoundFile_SettingPanelView : public Lumora_SettingPanelView_forSwitch {
public:
    static constexpr char const* className = "IncludeMicroTuningInSoundFile_SettingPanelView";
    using Lumora_SettingPanelView_forSwitch::Lumora_SettingPanelView_forSwitch;

    std::string keyForSetting() const override { return "includeMicroTunungInSoundFile"; }

protected:
    bool isOn(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, bool on) override;
};
