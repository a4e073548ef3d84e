#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forParam.h"
#include "screens/settings/base/Lumora_SliderStepperOutlets.h"

// The maximum number of voices (parameter 2120, 1 to the instrument's capacity); its controls
// take the parameter's range when the panel enters the screen.
class MaxPolyphony_SettingPanelView : public Lumora_SettingPanelView_forParam {
public:
    static constexpr char const* className = "MaxPolyphony_SettingPanelView";
    using Lumora_SettingPanelView_forParam::Lumora_SettingPanelView_forParam;

    int indexForParameter() const override { return 2120; }

    Lumora_SliderStepperOutlets& outlets() { return outlets_; }
    Platform::Label* label() const { return outlets_.label.get(); }
    Platform::Slider* slider() const { return outlets_.slider.get(); }
    Platform::Stepper* stepper() const { return outlets_.stepper.get(); }

    void willMoveToSuperview(Platform::View* newSuperview) override;
    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

private:
    Lumora_SliderStepperOutlets outlets_;
};
