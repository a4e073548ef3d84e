#pragma once

#include "model/core/Lumora_CoreObservers.h"
#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"
#include "screens/settings/base/Lumora_SliderStepperOutlets.h"

// The internal tempo: it shows the musical clock's tempo and stores the user's choice, which
// the model proposes to the audio I/O; the clock's tempo-changed notification then shows what
// the clock took. The controls are off whenever the audio I/O may not propose a tempo.
class Tempo_SettingPanelView : public Lumora_SettingPanelView_forSettings, public Lumora_AudioEngine_Observer {
public:
    static constexpr char const* className = "Tempo_SettingPanelView";
    using Lumora_SettingPanelView_forSettings::Lumora_SettingPanelView_forSettings;
    ~Tempo_SettingPanelView() override;

    std::string keyForSetting() const override { return "Tempo"; }
    void willMoveToSuperview(Platform::View* newSuperview) override;
    void onChangeSettingWithKey(std::string const& key) override;
    void receiveAudioEngineNotificationWithID(int id, int param) override;
    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

    Lumora_SliderStepperOutlets& outlets() { return outlets_; }
    Platform::Label* label() const { return outlets_.label.get(); }
    Platform::Slider* slider() const { return outlets_.slider.get(); }
    Platform::Stepper* stepper() const { return outlets_.stepper.get(); }

    // "%3.1f" of a tempo, whatever the locale.
    static std::string tempoText(float bpm);

private:
    void show(float bpm);
    void stopObservingEngine();

    Lumora_SliderStepperOutlets outlets_;
    bool observingEngine_ = false;
};
