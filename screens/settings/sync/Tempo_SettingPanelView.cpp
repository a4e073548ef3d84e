#include "screens/settings/sync/Tempo_SettingPanelView.h"

#include "engine/audio/iAudioEngine.h"
#include "engine/audio/iAudioIO.h"
#include "engine/clock/Clock.h"
#include "model/core/Lumora_Core.h"
#include "model/settings/Lumora_Settings.h"

#include <charconv>
#include <cmath>

namespace {

constexpr int tempoChanged = 1005;

} // namespace

Tempo_SettingPanelView::~Tempo_SettingPanelView()
{
    stopObservingEngine();
}

void Tempo_SettingPanelView::stopObservingEngine()
{
    if (observingEngine_ && core())
        core()->removeAudioEngineObserver(this);
    observingEngine_ = false;
}

void Tempo_SettingPanelView::willMoveToSuperview(Platform::View* newSuperview)
{
    if (newSuperview) {
        if (core() && !observingEngine_) {
            core()->addAudioEngineObserver(this);
            observingEngine_ = true;
        }
    } else {
        stopObservingEngine();
    }
    Lumora_SettingPanelView_forSettings::willMoveToSuperview(newSuperview);
}

void Tempo_SettingPanelView::onChangeSettingWithKey(std::string const& key)
{
    Lumora_SettingPanelView_forSettings::onChangeSettingWithKey(key);
    if (key == "syncMethod")
        updateUI();
}

void Tempo_SettingPanelView::receiveAudioEngineNotificationWithID(int id, int)
{
    if (id == tempoChanged)
        updateUI();
}

std::string Tempo_SettingPanelView::tempoText(float bpm)
{
    char text[32];
    auto const result = std::to_chars(text, text + sizeof text, bpm, std::chars_format::fixed, 1);
    std::string shown(text, result.ptr);
    // "%3.1f": at least three characters, padded on the left.
    while (shown.size() < 3)
        shown.insert(shown.begin(), ' ');
    return shown;
}

void Tempo_SettingPanelView::show(float bpm)
{
    outlets_.showText(tempoText(bpm));
    if (Platform::Slider* s = outlets_.slider.get())
        s->setValue(bpm);
    if (Platform::Stepper* st = outlets_.stepper.get())
        st->setValue(bpm);
}

void Tempo_SettingPanelView::updateUI()
{
    Lumora::iAudioEngine* engine = core() ? core()->audioEngine() : nullptr;
    if (!engine)
        return;
    show(static_cast<float>(engine->clock().bpm()));
    Lumora::iAudioIO* io = engine->audioIO();
    bool const enabled = io && io->canProposeBpm();
    if (Platform::Slider* s = outlets_.slider.get())
        s->setEnabled(enabled);
    if (Platform::Stepper* st = outlets_.stepper.get())
        st->setEnabled(enabled);
}

// Slider moves are taken to whole beats per minute; stepper values are stored as they come.
void Tempo_SettingPanelView::actionValueChanged(Platform::Control* sender)
{
    auto s = settings();
    if (!s)
        return;
    Platform::Slider* slider = outlets_.slider.get();
    float const v = (slider && sender == slider) ? std::round(slider->value()) : static_cast<float>(outlets_.raw(sender));
    s->setTempo(v);
    show(v);
}
