#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSegments.h"

// The setting "keyboardScrollBarPos" on two segments: where the keyboard's scroll bar lies: segment 0 below the keys (position 1), 1 above (2).
class KeyboardScrollPosition_SettingPanelView : public Lumora_SettingPanelView_forSegments {
public:
    static constexpr char const* className = "KeyboardScrollPosition_SettingPanelView";
    using Lumora_SettingPanelView_forSegments::Lumora_SettingPanelView_forSegments;

    std::string keyForSetting() const override { return "keyboardScrollBarPos"; }

protected:
    int segmentOf(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, int segment) override;
};
