#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSwitch.h"

// A switch for the setting "popupInPluginMode": sub-screens open as popovers in the plug-in (off: modally).
class PopupInPluginMode_SettingPanelView : public Lumora_SettingPanelView_forSwitch {
public:
    static constexpr char const* className = "PopupInPluginMode_SettingPanelView";
    using Lumora_SettingPanelView_forSwitch::Lumora_SettingPanelView_forSwitch;

    std::string keyForSetting() const override { return "popupInPluginMode"; }

protected:
    bool isOn(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, bool on) override;
};
