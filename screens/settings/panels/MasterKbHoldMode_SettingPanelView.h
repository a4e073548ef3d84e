#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSwitch.h"

// A switch for the setting "keyboardHoldMode": the keyboard's hold mode: on toggles held keys (mode 1), off latches them (mode 0).
class MasterKbHoldMode_SettingPanelView : public Lumora_SettingPanelView_forSwitch {
public:
    static constexpr char const* className = "MasterKbHoldMode_SettingPanelView";
    using Lumora_SettingPanelView_forSwitch::Lumora_SettingPanelView_forSwitch;

    std::string keyForSetting() const override { return "keyboardHoldMode"; }

protected:
    bool isOn(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, bool on) override;
};
