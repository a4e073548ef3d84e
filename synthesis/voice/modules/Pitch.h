#pragma once

#include <cstdint>

#include "engine/instrument/AudioQuality.h"
#include "engine/voice/NoteInformation.h"
#include "engine/voice/VoicingType.h"
#include "synthesis/dsp/envelope/ADSR.h"
#include "synthesis/voice/modules/ControlEnvelope.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/dsp/lfo/Smoother.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora {
class Clock;
}
namespace Lumora::DSP {
class LFO;
}

namespace Lumora::Corvane::Module {

// The first module of every voice: turns the note's frequency into the voice's sounding frequency
// with a pitch envelope, the instrument's pitch LFO and a random drift, and answers the other
// modules' questions about the frequency at any sample of the block.
class Pitch : public NoteInformation::iVoiceFrequency {
public:
    // Weight of the previous value in the drift smoother.
    static constexpr float kSmootherCoefficient = 0.0062634875f;

    Pitch();
    ~Pitch() override = default;

    // Frequency in Hz at a sample of the current block. Every call draws from the shared random
    // generator, so two calls for one sample differ by the jitter.
    float frequency(unsigned sample) const override;

    // Returns the frequency at sample 0 of the block, or over a span of short blocks the one at
    // the span's start. The clock and the audio quality are not used.
    float process(unsigned frames, float sampleRate, const Clock& clock, const NoteInformation& note,
                  const Parameters::Pitch& params, const DSP::LFO& lfo, unsigned engineVersion,
                  AudioQuality quality, Span span = Span::Whole);
    // A short block that continues a span, as process does it with Span::Continues: the envelope
    // owes the block's frames and the frequency of the span's start stands.
    float continueSpan(unsigned frames)
    {
        envelope_.owe(frames);
        return held_;
    }

    void gateOn(VoicingType type);
    void gateOff();
    void kill();

    float noteOffset() const { return noteOffset_; }
    const DSP::ENV::ADSR& envelope() const { return envelope_.adsr(); }

private:
    void readSettings(const NoteInformation& note, const Parameters::Pitch& params, const DSP::LFO& lfo,
                      unsigned engineVersion);
    float frequencyAt(float env, float lfo) const;

    uint32_t engineVersion_ = 0;
    ControlEnvelope envelope_{true};
    const DSP::LFO* lfo_ = nullptr;
    float noteOffset_ = 0.0f;
    float base_ = 0.0f;
    float drift_ = 0.0f;
    float envDepth_ = 0.0f;
    float lfoDepth_ = 0.0f;
    // The frequency a span of short blocks holds.
    float held_ = 0.0f;
    // A one-pole average of the random draws; frequency() steps it, hence mutable.
    mutable DSP::Smoother<float> smoother_{kSmootherCoefficient, 0.0f};
};

} // namespace Lumora::Corvane::Module
