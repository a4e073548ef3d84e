#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSegments.h"

// The setting "keyboardPianoLayout" on two segments: the on-screen keyboard's layout: segment 0 piano, 1 twelve equal keys.
class KeyboardPianoStyle_SettingPanelView : public Lumora_SettingPanelView_forSegments {
public:
    static constexpr char const* className = "KeyboardPianoStyle_SettingPanelView";
    using Lumora_SettingPanelView_forSegments::Lumora_SettingPanelView_forSegments;

    std::string keyForSetting() const override { return "keyboardPianoLayout"; }

protected:
    int segmentOf(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, int segment) override;
};
