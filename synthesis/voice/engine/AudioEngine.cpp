#include "synthesis/voice/engine/AudioEngine.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"

namespace Lumora::Corvane {

AudioEngine::AudioEngine(const iSynthAudioEngine::Config& config, const std::string& name, int version)
    : iSynthAudioEngine(0, 2, config),
      manager_(name, version, &converter_),
      parameters_(&manager_),
      instrument_(this, parameters_) {
    manager_.setImportantParameters(Parameters::importantIndexes);
}

// Members go in reverse order (instrument, converter, table, manager), then the base.
AudioEngine::~AudioEngine() = default;

void AudioEngine::audioProcess(const std::vector<const float*>& inputs,
                               const std::vector<float*>& outputs, unsigned frames, float sampleRate,
                               const Clock& clock, const MidiDeque& midi) {
    DSP::ScopedFlushDenormals noDenormals;
    iSynthAudioEngine::audioProcess(inputs, outputs, frames, sampleRate, clock, midi);
}

unsigned AudioEngine::gatheringSpan() const {
    return Instrument::kSleepSpan;
}

bool AudioEngine::stillRestsUntilMidi() const {
    return keyEffectsOff() && instrument_.sleepHolds();
}

namespace {

// Holds the voices silent for the lifetime of the object.
class FadedVoices {
public:
    explicit FadedVoices(VoiceMixFade& fade) : fade_(fade) {
        fade_.hold();
        fade_.waitUntilSilent(AudioEngine::kLoadFadeTimeout, AudioEngine::kRenderStall);
    }
    ~FadedVoices() { fade_.release(); }
    FadedVoices(const FadedVoices&) = delete;
    FadedVoices& operator=(const FadedVoices&) = delete;

private:
    VoiceMixFade& fade_;
};

bool changesSound(SerializeWhat what) {
    return sharesBit(what, SerializeWhat::SoundParameters);
}

} // namespace

bool AudioEngine::deserialize(SerializeWhat what, const std::string& text, SerializeWhere where) {
    if (!changesSound(what)) {
        return iSynthAudioEngine::deserialize(what, text, where);
    }
    FadedVoices faded(instrument_.voiceFade());
    return iSynthAudioEngine::deserialize(what, text, where);
}

void AudioEngine::initialize(SerializeWhat what, SerializeWhere where) {
    if (!changesSound(what)) {
        iSynthAudioEngine::initialize(what, where);
        return;
    }
    FadedVoices faded(instrument_.voiceFade());
    iSynthAudioEngine::initialize(what, where);
}

bool AudioEngine::publishReadbacks() {
    return instrument_.publishReadbacks();
}

} // namespace Lumora::Corvane
