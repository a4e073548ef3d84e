#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"
#include "platform/ui/WeakRef.h"
#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"

// The MIDI receive channel: a switch for all channels (omni) and a stepper for one channel,
// shown 1 to 16.
class MidiChannel_SettingPanelView : public Lumora_SettingPanelView_forSettings {
public:
    static constexpr char const* className = "MidiChannel_SettingPanelView";
    using Lumora_SettingPanelView_forSettings::Lumora_SettingPanelView_forSettings;

    std::string keyForSetting() const override { return "midiChannel"; }
    void updateUI() override;
    // Both keys are written on every action, omni first.
    void actionValueChanged(Platform::Control* sender);

    Platform::Switch* swCtrl() const { return swCtrl_.get(); }
    Platform::Stepper* stepper() const { return stepper_.get(); }
    Platform::Label* label() const { return label_.get(); }
    void setOutlets(Platform::Switch* swCtrl, Platform::Stepper* stepper, Platform::Label* label);

private:
    Platform::WeakRef<Platform::Switch> swCtrl_;
    Platform::WeakRef<Platform::Stepper> stepper_;
    Platform::WeakRef<Platform::Label> label_;
};
