#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSegments.h"

// How a mapped controller takes over its parameter: segment 0 jump, 1 pick-up.
class MidiMappingTakeoverMode_SettingPanelView : public Lumora_SettingPanelView_forSegments {
public:
    static constexpr char const* className = "MidiMappingTakeoverMode_SettingPanelView";
    using Lumora_SettingPanelView_forSegments::Lumora_SettingPanelView_forSegments;

    std::string keyForSetting() const override { return "midiMapTakeover"; }

protected:
    int segmentOf(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, int segment) override;
};
