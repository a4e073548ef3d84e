#include "screens/settings/sync/MidiChannel_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

#include <string>

void MidiChannel_SettingPanelView::setOutlets(Platform::Switch* swCtrl, Platform::Stepper* stepper, Platform::Label* label)
{
    swCtrl_.reset(swCtrl);
    stepper_.reset(stepper);
    label_.reset(label);
}

void MidiChannel_SettingPanelView::updateUI()
{
    auto s = settings();
    if (!s)
        return;
    bool const omni = s->midiOmni();
    std::int32_t const channel = s->midiChannel();
    if (Platform::Switch* sw = swCtrl_.get())
        sw->setOn(omni);
    if (Platform::Label* l = label_.get()) {
        l->setText(std::to_string(channel + 1));
        l->setTextColor(omni ? Platform::Color::lightGrayColor() : Platform::Color::blackColor());
    }
    if (Platform::Stepper* st = stepper_.get()) {
        st->setValue(channel);
        st->setEnabled(!omni);
    }
}

void MidiChannel_SettingPanelView::actionValueChanged(Platform::Control*)
{
    auto s = settings();
    if (!s)
        return;
    Platform::Switch* sw = swCtrl_.get();
    Platform::Stepper* st = stepper_.get();
    s->setMidiOmni(sw ? sw->isOn() : s->midiOmni());
    s->setMidiChannel(st ? static_cast<std::int32_t>(st->value()) : s->midiChannel());
    updateUI();
}
