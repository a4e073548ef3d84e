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
#include "synthesis/voice/modules/ControlEnvelope.h"
#include "synthesis/voice/modules/ModuleCommon.h"
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
                         unsigned engineVersion, AudioQuality quality, Span span = Span::Whole);
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
    // The settings read at a span's start.
    struct Settings {
        float lowPass = 0.0f;
        float base = 0.0f;
        float sign = 1.0f;
        float envFeedback = 0.0f;
        float lfoFeedback = 0.0f;
        float tuning = 1.0f;
        float pitchEnv = 0.0f;
        float pitchLfo = 0.0f;
    };
    // The feedback and the tuned frequency a span holds.
    struct Held {
        float feedback = 0.0f;
        float tuned = 0.0f;
    };

    // Resting, with nothing sent in and nothing about to be: both shares stand at 0 and both splits
    // have settled on passing everything dry. Inline: asked every block.
    bool sendsNothing() const
    {
        const auto settled = [](const DSP::LinearGlide& share, const DSP::Panner& panner) {
            return !share.gliding() && share.value() == 0.0f && panner.lastGain1() == 1.0f &&
                   panner.lastGain2() == 0.0f;
        };
        return resting_ && settled(wetOsc_, oscSplit_) && settled(wetNoise_, noiseSplit_);
    }
    // The envelope and the settings, whether the resonator sounds or not: it may wake within a span.
    // Inline: a block that continues a span only owes the envelope its frames.
    void followControl(Span span, unsigned frames, float sampleRate, const NoteInformation& note,
                       const Parameters::Resonator& params, const DSP::LFO& lfo)
    {
        if (span == Span::Continues)
            envelope_.owe(frames);
        else
            readControl(span, frames, sampleRate, note, params, lfo);
    }
    // A block that opens a span or stands whole: the envelope's new times and the settings.
    void readControl(Span span, unsigned frames, float sampleRate, const NoteInformation& note,
                     const Parameters::Resonator& params, const DSP::LFO& lfo);
    // The resonated signal of a resting resonator is silence; a buffer that already holds it stays.
    // Inline: a resting resonator asks every block.
    void clearResonated(unsigned frames)
    {
        if (frames > zeroFrames_)
            clearResonatedBuffer(frames);
    }
    void clearResonatedBuffer(unsigned frames);
    void readSettings(const Parameters::Resonator& params);
    void hold(float env, float lfo, float frequency);
    void holdOpened();
    void resetSignal();
    static void split(DSP::Panner& panner, DSP::LinearGlide& share, float* dry, float* wet, const float* in,
                      unsigned frames);
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
    ControlEnvelope envelope_{false};
    Settings settings_;
    Held held_;
    // The levels a span opened with, not yet held.
    struct Opened {
        float env = 0.0f;
        float lfo = 0.0f;
        float frequency = 0.0f;
        bool pending = false;
    };
    Opened opened_;
    bool resting_ = true;
    unsigned quietFrames_ = 0;
    // Leading samples of the resonated buffer known to hold silence.
    unsigned zeroFrames_ = 0;
};

} // namespace Lumora::Corvane::Module
