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

bool AudioEngine::publishReadbacks() {
    return instrument_.publishReadbacks();
}

} // namespace Lumora::Corvane
