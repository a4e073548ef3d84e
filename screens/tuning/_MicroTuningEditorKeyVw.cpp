#include "screens/tuning/_MicroTuningEditorKeyVw.h"

#include "engine/audio/iAudioEngine.h"
#include "engine/instrument/iInstrument.h"
#include "engine/synth/iSynthAudioEngine.h"
#include "engine/tuning/MicroTuning.h"
#include "model/core/Lumora_Core.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

struct KeyLook {
    char const* name;
    bool white;
};

constexpr KeyLook keyLooks[12] = {
    {"C", true}, {"C#", false}, {"D", true}, {"D#", false}, {"E", true}, {"F", true},
    {"F#", false}, {"G", true}, {"G#", false}, {"A", true}, {"A#", false}, {"B", true},
};

// Cents as the row shows them: signed, except a plain 0.
std::string centsText(long cents)
{
    if (cents == 0)
        return "0";
    char text[16];
    std::snprintf(text, sizeof text, "%+ld", cents);
    return text;
}

} // namespace

_MicroTuningEditorKeyVw::_MicroTuningEditorKeyVw(Platform::Rect frame)
    : View(frame)
{
}

void _MicroTuningEditorKeyVw::connectOutlets(Outlets const& outlets)
{
    name_.reset(outlets.name);
    label_.reset(outlets.label);
    slider_.reset(outlets.slider);
    stepper_.reset(outlets.stepper);
}

void _MicroTuningEditorKeyVw::setKeyNumberOfOctave(int key)
{
    keyNumberOfOctave_ = key;
    updateUI();
}

Lumora::MicroTuning* _MicroTuningEditorKeyVw::microTuning() const
{
    if (!core_)
        return nullptr;
    auto* synth = dynamic_cast<Lumora::iSynthAudioEngine*>(core_->audioEngine());
    return synth ? synth->instrument().microTuning() : nullptr;
}

void _MicroTuningEditorKeyVw::setupAppearanceIsWhiteKey(bool white, char const* name)
{
    Platform::Color const text = white ? Platform::Color::blackColor() : Platform::Color::whiteColor();
    if (auto* n = name_.get()) {
        n->setText(name);
        n->setTextColor(text);
    }
    if (auto* l = label_.get())
        l->setTextColor(text);
    setBackgroundColor(white ? Platform::Color::whiteColor() : Platform::Color::darkGrayColor());
    if (auto* s = slider_.get())
        s->setTintColor(text);
    if (auto* s = stepper_.get())
        s->setTintColor(text);
    setNeedsDisplay();
}

void _MicroTuningEditorKeyVw::updateUI()
{
    // The remainder takes the dividend's sign: a negative key number keeps the row's look.
    int const p = keyNumberOfOctave_ % 12;
    if (p >= 0)
        setupAppearanceIsWhiteKey(keyLooks[p].white, keyLooks[p].name);

    Lumora::MicroTuning const* table = microTuning();
    if (!table)
        return;
    float const d = table->data(keyNumberOfOctave_).detune * 100.0f;
    long const cents = std::lround(d);
    if (auto* s = slider_.get())
        s->setValue(static_cast<float>(cents));
    if (auto* s = stepper_.get())
        s->setValue(static_cast<double>(cents));
    if (auto* l = label_.get())
        l->setText(centsText(cents));
}

void _MicroTuningEditorKeyVw::actionValueChanged(Platform::Control* sender)
{
    double raw = 0;
    if (sender != nullptr && sender == slider_.get())
        raw = slider_->value();
    else if (auto* s = stepper_.get())
        raw = s->value();
    if (Lumora::MicroTuning* table = microTuning())
        table->setDetune(keyNumberOfOctave_, static_cast<float>(std::round(raw)) / 100.0f);
    updateUI();
}
