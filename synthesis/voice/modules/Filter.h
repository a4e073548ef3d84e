#pragma once

#include <vector>

#include "engine/instrument/AudioQuality.h"
#include "engine/voice/NoteInformation.h"
#include "engine/voice/VoicingType.h"
#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/envelope/ADSR.h"
#include "synthesis/dsp/filter/BiquadFilter.h"
#include "synthesis/dsp/filter/DCBlockingFilter.h"
#include "synthesis/dsp/filter/OnePoleHighPass.h"
#include "synthesis/dsp/shaper/AsymSaturator.h"
#include "synthesis/voice/modules/ControlEnvelope.h"
#include "synthesis/voice/modules/CutoffSweep.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/voice/modules/Saturator.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora {
class Clock;
}
namespace Lumora::DSP {
class LFO;
}

namespace Lumora::Corvane::Module {

// The voice's resonant low-pass of one or two biquad stages. Its cutoff follows an envelope, the
// instrument's filter LFO, velocity and the keyboard; a drive stage, a low-end control (low cut
// or low boost) and DC blocking follow. Its settings glide to new values (kGlideSeconds) rather
// than step under a held note.
class Filter {
public:
    Filter();
    virtual ~Filter() = default;

    // Returns the module's output buffer, valid until the next call. The clock and the audio
    // quality are not used.
    const float* process(const float* in, unsigned frames, float sampleRate, const Clock& clock,
                         const NoteInformation& note, const Parameters::Filter& params, const DSP::LFO& lfo,
                         unsigned engineVersion, AudioQuality quality, Span span = Span::Whole);
    // One segment: low-pass stage(s) at the cutoff, drive, then the low end.
    void _process(float* out, const float* in, unsigned n, unsigned filterType, float cutoff, float resonance,
                  float drive, unsigned saturatorType, float low);

    void gateOn(VoicingType type);
    void gateOff();
    void kill();
    void reserve(unsigned maxFrames);

    const DSP::ENV::ADSR& envelope() const { return envelope_.adsr(); }

private:
    // What a span holds: the envelope's and the LFO's levels at its start and the choices read there.
    struct Held {
        float env = 0.0f;
        float lfo = 0.0f;
        unsigned type = 0;
        unsigned saturatorType = 0;
    };

    // The stages' settings of the last segment rendered. A block that continues its span without a
    // glide would work out the same ones again: it runs the stages as they stand.
    struct Stages {
        float cutoff = 0.0f;
        float resonance = 0.0f;
        float drive = 0.0f;
        float low = 0.0f;
        unsigned type = 0;
        unsigned saturatorType = 0;
        // Whether the drive stage, as it was last left, passes the signal untouched at this drive:
        // it is then not called.
        bool driveIdle = false;
        bool valid = false;
    };

    void setTimes(const Parameters::Filter& params);
    void readSettings(const NoteInformation& note, const Parameters::Filter& params, float sampleRate);
    void renderSpan(float* out, const float* in, unsigned offset, unsigned n, bool gliding);
    // The stages at stages_, whose designs they hold: a segment's, or again a block's that
    // continues the span without a glide.
    void runStages(float* out, const float* in, unsigned n);
    void resetSignal();
    bool isGliding() const
    {
        return cutoff_.gliding() || envDepth_.gliding() || lfoDepth_.gliding() || resonance_.gliding() ||
               drive_.gliding() || low_.gliding() || velocity_.gliding() || keyTracking_.gliding();
    }
    void advanceGlides(unsigned n);

    std::vector<float> output_;
    std::vector<float> lowBoost_;
    DSP::Filter::BiquadFilter stage1_;
    DSP::Filter::BiquadFilter stage2_;
    DSP::Filter::BiquadFilter lowBoostFilter_;
    DSP::Filter::OnePoleHighPass lowCut_;
    Saturator driveStage_;
    DSP::AsymSaturator lowBoostShaper_;
    DSP::DCBlockingFilter dcBlocker_;
    ControlEnvelope envelope_{true};
    Held held_;
    Stages stages_;
    // isGliding() as the glides were last left: they move only where this is set again, and a
    // block that continues its span without a glide need not ask each of them.
    bool gliding_ = false;
    // The sweeps of the cutoff and of the low cut's share of it.
    CutoffSweep cutoffSweep_;
    CutoffSweep lowCutSweep_;
    // The settings that glide instead of stepping: base cutoff, the envelope's and LFO's depths on
    // it, resonance, drive, low end, and the velocity's and keyboard's shares of the cutoff.
    DSP::LinearGlide cutoff_;
    DSP::LinearGlide envDepth_;
    DSP::LinearGlide lfoDepth_;
    DSP::LinearGlide resonance_;
    DSP::LinearGlide drive_;
    DSP::LinearGlide low_;
    DSP::LinearGlide velocity_;
    DSP::LinearGlide keyTracking_;
};

} // namespace Lumora::Corvane::Module
