#pragma once

#include <vector>

#include "engine/instrument/AudioQuality.h"
#include "engine/voice/NoteInformation.h"
#include "engine/voice/VoicingType.h"
#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/envelope/ADSR.h"
#include "synthesis/dsp/shaper/Amplifier.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora {
class Clock;
}

namespace Lumora::Corvane::Module {

// The voice's amplifier: its envelope, velocity sensitivity and level. The envelope decides how
// long the voice lives: once its release has ended the voice is free again.
class AMP {
public:
    AMP();
    virtual ~AMP() = default;

    // Writes in shaped by the envelope, velocity and level into out (out may be in) and returns out.
    float* process(float* out, const float* in, unsigned frames, float sampleRate, const Clock& clock,
                   const NoteInformation& note, const Parameters::AMP& params, unsigned engineVersion,
                   AudioQuality quality, Span span = Span::Whole);
    // True while the envelope is not idle.
    bool isActive() const { return envelope_.isActive(); }

    void gateOn(VoicingType type);
    void gateOff();
    void kill();
    void reserve(unsigned maxFrames);

    const DSP::ENV::ADSR& envelope() const { return envelope_; }

private:
    DSP::ENV::ADSR envelope_;
    std::vector<float> envelopeBuffer_;
    DSP::Amplifier amplifier_;
    // The level glides to a new setting rather than steps.
    DSP::LinearGlide level_;
    // The velocity's gain, read where a span starts.
    float velocityGain_ = 1.0f;
};

} // namespace Lumora::Corvane::Module
