#pragma once

#include <vector>

#include "engine/instrument/AudioQuality.h"
#include "engine/voice/NoteInformation.h"
#include "engine/voice/VoicingType.h"
#include "synthesis/dsp/delay/FeedbackFxDelay.h"
#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/delay/NullFeedbackFx.h"
#include "synthesis/dsp/envelope/ADSR.h"
#include "synthesis/dsp/filter/OnePoleLowPass.h"
#include "synthesis/dsp/shaper/Panner.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora {
class Clock;
}
namespace Lumora::DSP {
class LFO;
}

namespace Lumora::Corvane::Module {

// A comb resonator tuned to the note: shares of the oscillator and the noise are sent into a
// feedback delay of one period of the (tuned) note, whose feedback and tuning an envelope and the
// instrument's resonator LFO move. Hands the voice the dry and the resonated signal apart, so that
// the voice can route the resonated part around the filter.
class Resonator {
public:
    Resonator();
    virtual ~Resonator() = default;

    // Returns dry + resonated; sets *dryOut and *resonatedOut when given. All three buffers stay
    // valid until the next call.
    const float* process(const float** dryOut, const float** resonatedOut, const float* oscInput,
                         const float* noiseInput, unsigned frames, float sampleRate, const Clock& clock,
                         const NoteInformation& note, const Parameters::Resonator& params, const DSP::LFO& lfo,
                         unsigned engineVersion, AudioQuality quality);
    // One segment through the input low-pass (normalized x of the cutoff sweep) and the delay
    // tuned to frequency; out may be in.
    void _process(float* out, const float* in, unsigned n, float sampleRate, float lowPass, float feedback,
                  float frequency);
    // Soft limiter: [-1, 1] passes, beyond it the curve bends towards +-1.4637. out may be in.
    static void saturate(float* out, const float* in, unsigned n);

    void gateOn(VoicingType type);
    void gateOff();
    void kill();
    void reserve(unsigned maxFrames);

    const DSP::FeedbackFxDelay& delay() const { return delay_; }

    // Whether the resonator is resting: its line holds silence and nothing is sent into it, so it
    // is not run and contributes exact zeros.
    bool isResting() const { return resting_; }

private:
    void resetSignal();
    static void split(DSP::Panner& panner, DSP::LinearGlide& share, float* dry, float* wet, const float* in,
                      unsigned frames, float sampleRate, float target);
    void followTail(const float* resonated, unsigned frames, bool silentInput);

    std::vector<float> input_;
    std::vector<float> resonated_;
    std::vector<float> dry_;
    std::vector<float> output_;
    std::vector<float> oscDry_;
    std::vector<float> oscWet_;
    std::vector<float> noiseDry_;
    std::vector<float> noiseWet_;
    DSP::Panner oscSplit_;
    DSP::Panner noiseSplit_;
    // The shares sent into the resonator glide to a new setting rather than step.
    DSP::LinearGlide wetOsc_;
    DSP::LinearGlide wetNoise_;
    DSP::Filter::OnePoleLowPass lowPass_;
    DSP::NullFeedbackFx noEffect_;
    DSP::FeedbackFxDelay delay_;
    DSP::ENV::ADSR envelope_;
    bool resting_ = true;
    unsigned quietFrames_ = 0;
};

} // namespace Lumora::Corvane::Module
