#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSwitch.h"

// A switch for the setting "includeMidiMappingInSoundFile": sound documents carry the MIDI-mapping part.
class IncludeMidiMappingInSoundFile_SettingPanelView : public Lumora_SettingPanelView_forSwitch {
public:
    static constexpr char const* className = "IncludeMidiMappingInSoundFile_SettingPanelView";
    using Lumora_SettingPanelView_forSwitch::Lumora_SettingPanelView_forSwitch;

    std::string keyForSetting() const override { return "includeMidiMappingInSoundFile"; }

protected:
    bool isOn(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, bool on) override;
};
