#pragma once

#include "platform/ui/Slider.h"
#include "platform/ui/WeakRef.h"
#include "screens/settings/base/Lumora_SettingPanelView_forParam.h"

// The engine's master volume (parameter 1100, 0..1) on a slider, written as the slider moves.
class MasterVolume_SettingPanelView : public Lumora_SettingPanelView_forParam {
public:
    static constexpr char const* className = "MasterVolume_SettingPanelView";
    using Lumora_SettingPanelView_forParam::Lumora_SettingPanelView_forParam;

    int indexForParameter() const override { return 1100; }

    Platform::Slider* slider() const { return slider_.get(); }
    void setSlider(Platform::Slider* slider) { slider_.reset(slider); }

    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

private:
    Platform::WeakRef<Platform::Slider> slider_;
};
