#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"
#include "screens/settings/base/Lumora_SliderStepperOutlets.h"

// The key size of the on-screen keyboard in points (30..100) on a slider and a stepper.
class KeyboardSize_SettingPanelView : public Lumora_SettingPanelView_forSettings {
public:
    static constexpr char const* className = "KeyboardSize_SettingPanelView";
    using Lumora_SettingPanelView_forSettings::Lumora_SettingPanelView_forSettings;

    std::string keyForSetting() const override { return "keyboardSize"; }

    Lumora_SliderStepperOutlets& outlets() { return outlets_; }
    Platform::Slider* slider() const { return outlets_.slider.get(); }
    Platform::Stepper* stepper() const { return outlets_.stepper.get(); }

    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

private:
    Lumora_SliderStepperOutlets outlets_;
};
