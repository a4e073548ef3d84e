#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forParam.h"
#include "screens/settings/base/Lumora_SliderStepperOutlets.h"

// The fine tune in cents (parameter 2111, -1..1 where one unit is 100 cents), shown signed.
class MasterTune_SettingPanelView : public Lumora_SettingPanelView_forParam {
public:
    static constexpr char const* className = "MasterTune_SettingPanelView";
    using Lumora_SettingPanelView_forParam::Lumora_SettingPanelView_forParam;

    int indexForParameter() const override { return 2111; }

    Lumora_SliderStepperOutlets& outlets() { return outlets_; }
    Platform::Label* label() const { return outlets_.label.get(); }
    Platform::Slider* slider() const { return outlets_.slider.get(); }
    Platform::Stepper* stepper() const { return outlets_.stepper.get(); }

    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

private:
    Lumora_SliderStepperOutlets outlets_;
};
