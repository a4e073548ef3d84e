#include "engine/audio/iAudioIO.h"

#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/ParameterManager.h"

namespace Lumora {

namespace {
// Answered by a render call that comes after the engine is gone.
const std::deque<MidiMessage> kNoMidi;
} // namespace

iAudioIO::iAudioIO(iAudioEngine* e) : engine(e) {
    if (engine != nullptr) {
        engine->parameterManager().addObserver(this);
    }
}

iAudioIO::~iAudioIO() {
    if (engine != nullptr) {
        engine->parameterManager().removeObserver(this);
        engine->audioIOWillBeDestroyed(this);
    }
}

void iAudioIO::didConstructSubClass(iAudioIO* self) {
    if (engine != nullptr) {
        engine->initialize_callFrom_AudioIO(self);
    }
}

const std::deque<MidiMessage>& iAudioIO::renderBlock(const std::vector<const float*>& inputs,
                                                     const std::vector<float*>& outputs,
                                                     unsigned frames, float sampleRate,
                                                     const std::deque<MidiMessage>& midi,
                                                     const SyncInformation& sync) {
    if (engine == nullptr) {
        return kNoMidi;
    }
    return engine->renderBlock_callFrom_AudioIO(inputs, outputs, frames, sampleRate, midi, sync);
}

const std::deque<MidiMessage>& iAudioIO::renderBlock(const std::vector<const float*>& inputs,
                                                     const std::vector<float*>& outputs,
                                                     unsigned frames, float sampleRate,
                                                     const MidiMessageRing& midi,
                                                     const SyncInformation& sync) {
    if (engine == nullptr) {
        return kNoMidi;
    }
    return engine->renderBlock_callFrom_AudioIO(inputs, outputs, frames, sampleRate, midi, sync);
}

} // namespace Lumora
