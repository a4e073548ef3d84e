#pragma once

#include "platform/ui/Slider.h"
#include "platform/ui/WeakRef.h"
#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"

class Lumora_Settings;

// A setting panel whose one control is a switch: on shows the setting, turning it stores it.
// The model's report of the key refreshes the panel, so nothing is shown again after a write.
class Lumora_SettingPanelView_forSwitch : public Lumora_SettingPanelView_forSettings {
public:
    using Lumora_SettingPanelView_forSettings::Lumora_SettingPanelView_forSettings;

    Platform::Switch* swCtrl() const { return swCtrl_.get(); }
    void setSwCtrl(Platform::Switch* control) { swCtrl_.reset(control); }

    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

protected:
    virtual bool isOn(Lumora_Settings& settings) = 0;
    virtual void store(Lumora_Settings& settings, bool on) = 0;

private:
    Platform::WeakRef<Platform::Switch> swCtrl_;
};
