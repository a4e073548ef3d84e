#pragma once

#include <cstdint>
#include <vector>

#include "engine/instrument/AudioQuality.h"
#include "engine/voice/NoteInformation.h"
#include "engine/voice/VoicingType.h"
#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/envelope/ADSR.h"
#include "synthesis/dsp/filter/BiquadFilter.h"
#include "synthesis/dsp/filter/OnePoleHighPass.h"
#include "synthesis/dsp/noise/GeigerNoise.h"
#include "synthesis/dsp/noise/NoiseOsc.h"
#include "synthesis/dsp/noise/SampleAndHoldNoise.h"
#include "synthesis/dsp/shaper/Amplifier.h"
#include "synthesis/voice/modules/ControlEnvelope.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora {
class Clock;
}

namespace Lumora::Corvane::Module {

// The voice's noise source: six colours of noise, its own envelope and a level, which glides to a
// new setting over kGlideSeconds.
class Noise {
public:
    Noise();
    virtual ~Noise() = default;

    // Returns the noise output buffer, valid until the next call. The clock and the audio quality
    // are not used.
    const float* process(unsigned frames, float sampleRate, const Clock& clock, const NoteInformation& note,
                         const Parameters::Noise& params, unsigned engineVersion, AudioQuality quality,
                         Span span = Span::Whole);

    void gateOn(VoicingType type);
    void gateOff();
    void kill();
    void reserve(unsigned maxFrames);

    int32_t previousType() const { return previousType_; }
    const DSP::Filter::BiquadFilter& biquad() const { return biquad_; }

private:
    void resetSignal();
    // Runs the envelope over the block, with new times unless the block continues a span; returns
    // its levels when asked for them (null otherwise). An unheard block that continues a span only
    // owes its frames to the envelope instead.
    const float* advanceEnvelope(unsigned frames, float sampleRate, const Parameters::Noise& params, Span span,
                                 bool levels);
    void renderBandPass(float* raw, unsigned frames, float sampleRate, const NoteInformation& note,
                        unsigned engineVersion);

    int32_t previousType_ = -1;
    // The noise type a span of short blocks holds.
    unsigned type_ = 0;
    std::vector<float> output_;
    std::vector<float> raw_;
    DSP::OSC::NoiseOsc white_;
    DSP::OSC::SampleAndHoldNoise sampleAndHold_;
    DSP::OSC::GeigerNoise geiger_;
    DSP::Filter::BiquadFilter biquad_;
    DSP::Filter::OnePoleHighPass highPass_;
    ControlEnvelope envelope_{true};
    std::vector<float> envelopeBuffer_;
    DSP::Amplifier amplifier_;
    // The level glides to a new setting rather than steps.
    DSP::LinearGlide level_;
    // Leading samples of the output that the gain stage at 0 has cleared since it last passed sound.
    unsigned clearedFrames_ = 0;
};

} // namespace Lumora::Corvane::Module
