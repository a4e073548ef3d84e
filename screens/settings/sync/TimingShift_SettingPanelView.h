#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"
#include "screens/settings/base/Lumora_SliderStepperOutlets.h"

// The timing shift (-1..1), shown and set in hundredths.
class TimingShift_SettingPanelView : public Lumora_SettingPanelView_forSettings {
public:
    static constexpr char const* className = "TimingShift_SettingPanelView";
    using Lumora_SettingPanelView_forSettings::Lumora_SettingPanelView_forSettings;

    std::string keyForSetting() const override { return "TimingShift"; }
    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

    Lumora_SliderStepperOutlets& outlets() { return outlets_; }
    Platform::Label* label() const { return outlets_.label.get(); }
    Platform::Slider* slider() const { return outlets_.slider.get(); }
    Platform::Stepper* stepper() const { return outlets_.stepper.get(); }

private:
    Lumora_SliderStepperOutlets outlets_;
};
