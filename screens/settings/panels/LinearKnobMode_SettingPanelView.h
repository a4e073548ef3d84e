#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSegments.h"

// The setting "linearKnobMode" on two segments: how rotary knobs follow a drag: segment 0 linear, 1 circular.
class LinearKnobMode_SettingPanelView : public Lumora_SettingPanelView_forSegments {
public:
    static constexpr char const* className = "LinearKnobMode_SettingPanelView";
    using Lumora_SettingPanelView_forSegments::Lumora_SettingPanelView_forSegments;

    std::string keyForSetting() const override { return "linearKnobMode"; }

protected:
    int segmentOf(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, int segment) override;
};
