#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSwitch.h"

// A switch for the setting "useProgListAsFactoryPrisetForAUv3Host": the host's list of factory presets comes from the program folder.
class UsePgListAsFctryForAUv3Host_SettingPanelView : public Lumora_SettingPanelView_forSwitch {
public:
    static constexpr char const* className = "UsePgListAsFctryForAUv3Host_SettingPanelView";
    using Lumora_SettingPanelView_forSwitch::Lumora_SettingPanelView_forSwitch;

    std::string keyForSetting() const override { return "useProgListAsFactoryPrisetForAUv3Host"; }

protected:
    bool isOn(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, bool on) override;
};
