#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "engine/instrument/AudioQuality.h"
#include "engine/voice/NoteInformation.h"
#include "engine/voice/VoicingType.h"
#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/envelope/ADSR.h"
#include "synthesis/dsp/osc/SawOsc.h"
#include "synthesis/dsp/osc/SineOsc.h"
#include "synthesis/dsp/osc/SquareOsc.h"
#include "synthesis/dsp/osc/TriangleOsc.h"
#include "synthesis/dsp/osc/tDetunedOsc.h"
#include "synthesis/dsp/osc/tFmOsc.h"
#include "synthesis/dsp/osc/tMixOsc.h"
#include "synthesis/dsp/osc/tOverSampledOsc.h"
#include "synthesis/dsp/shaper/Amplifier.h"
#include "synthesis/dsp/shaper/Crossfader3.h"
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

// The voice's tone source: saw, triangle and square, each a detuned group of three
// frequency-modulated, oversampled oscillators, blended along one wave position, plus a square sub
// oscillator an octave below. A modulation envelope and the instrument's oscillator LFO move the
// wave position and either the FM mix or the FM ratio.
class OSC {
public:
    // The FM modulator of every group.
    class FmModOsc : public DSP::OSC::SineOsc {
    public:
        ~FmModOsc() override = default;
    };
    // The sub oscillator.
    class SubOsc : public DSP::OSC::SquareOsc {
    public:
        ~SubOsc() override = default;
    };

    template <class Wave>
    using Group = DSP::OSC::tDetunedOsc<
        DSP::OSC::tMixOsc<Wave, DSP::OSC::tOverSampledOsc<DSP::OSC::tFmOsc<Wave, FmModOsc, 4>>>>;

    OSC();
    virtual ~OSC() = default;

    // Returns the module's output buffer, valid until the next call.
    const float* process(unsigned frames, float sampleRate, const Clock& clock, const NoteInformation& note,
                         const Parameters::Osc& params, const DSP::LFO& lfo, unsigned engineVersion,
                         AudioQuality quality, Span span = Span::Whole);

    void gateOn(VoicingType type);
    void gateOff();
    void kill();
    void reserve(unsigned maxFrames);

    const Group<DSP::OSC::SawOsc>& sawGroup() const { return saw_; }
    const Group<DSP::OSC::SquareOsc>& squareGroup() const { return square_; }
    const Group<DSP::OSC::TriangleOsc>& triangleGroup() const { return triangle_; }
    const SubOsc& subOsc() const { return sub_; }
    const DSP::ENV::ADSR& envelope() const { return envelope_.adsr(); }

    // What one segment renders with.
    struct Segment {
        float frequency;
        float position;
        float mix;
        float ratio;
        float index;
        float detune;
        unsigned oversampling;
    };

private:
    // The groups, as bits of configuredGroups_.
    static constexpr unsigned kSawGroup = 1;
    static constexpr unsigned kTriangleGroup = 2;
    static constexpr unsigned kSquareGroup = 4;

    // The settings read at a span's start.
    struct Settings {
        float waveEnv = 0.0f;
        float waveLfo = 0.0f;
        float modEnv = 0.0f;
        float modLfo = 0.0f;
        float ratio = 0.0f;
        float index = 0.0f;
        float detune = 0.0f;
        unsigned target = 0;
        unsigned oversampling = 0;
    };
    // The modulation at a span's start: envelope, LFO (bipolar), frequency and the FM's share.
    struct Held {
        float env = 0.0f;
        float lfo = 0.0f;
        float frequency = 0.0f;
        float mod = 0.0f;
    };

    // process() for every block but the continuation of a steady span (renderSteady); out of line,
    // so that those pay for none of its set-up.
    [[gnu::noinline]] const float* processBlock(unsigned frames, float sampleRate, const NoteInformation& note,
                                                const Parameters::Osc& params, const DSP::LFO& lfo,
                                                unsigned engineVersion, AudioQuality quality, Span span);
    void readSettings(const Parameters::Osc& params, unsigned engineVersion, AudioQuality quality, float sampleRate);
    bool isGliding() const;
    void hold(float env, float lfo, float frequency);
    void renderSpan(unsigned offset, unsigned n, float sampleRate, bool gliding);
    void renderSegment(unsigned offset, unsigned n, float sampleRate, const Segment& s);
    template <bool kUnchanged>
    void renderGroups(float* const waves[3], unsigned n, float sampleRate, const Segment& s);
    void renderHeldSpan(unsigned frames, float sampleRate);
    void renderSteady(unsigned n, float sampleRate);
    void findSteadyWave();
    void growBuffers(unsigned frames);
    void scaleWave(float* out, const float* wave, unsigned n, float waveScale, float weight) const;
    float heldLevelGain() const;
    bool needsConfiguring(unsigned group);
    template <class G>
    void configure(G& group, unsigned bit, float frequency, float ratio, const Segment& s);
    void renderSub(unsigned offset, unsigned n, float sampleRate, float frequency);
    void restartAll();
    float squareShift(float detune);

    std::vector<float> output_;
    std::vector<float> sawBuffer_;
    std::vector<float> squareBuffer_;
    std::vector<float> triangleBuffer_;
    std::vector<float> subBuffer_;
    Group<DSP::OSC::SawOsc> saw_;
    Group<DSP::OSC::SquareOsc> square_;
    Group<DSP::OSC::TriangleOsc> triangle_;
    ControlEnvelope envelope_{true};
    SubOsc sub_;
    DSP::Crossfader3 crossfader_;
    DSP::Amplifier amplifier_;
    DSP::Amplifier subLevel_;
    // Wave position, FM mix, sub level and level glide to new settings rather than step.
    DSP::LinearGlide waveMix_;
    DSP::LinearGlide modDepth_;
    DSP::LinearGlide subShare_;
    DSP::LinearGlide level_;
    Settings settings_;
    // The level's gain when the waves take it in their own pass over this block, else 0.
    float levelGain_ = 0.0f;
    Held held_;
    // The segment the groups in configuredGroups_ are set for.
    Segment configured_{NAN, NAN, NAN, NAN, NAN, NAN, 0};
    unsigned configuredGroups_ = 0;
    // The groups whose voices hold configured_'s shape, whatever frequency they were set for.
    unsigned shapedGroups_ = 0;
    // The wave the last segment played alone at steadyWeight_ (0 saw, 1 triangle, 2 square), its
    // crossfade settled there; -1 where the crossfader mixed.
    int soleWave_ = -1;
    float steadyWeight_ = 0.0f;
    // Whether the next block that continues the span may go straight to renderSteady.
    bool steady_ = false;
    // Where steady_ holds and the position hears one group alone, which plays its centre voice's
    // plain wave alone: that group (as soleWave_ counts them), else -1 (see findSteadyWave).
    int steadyGroup_ = -1;
    // The frames every buffer of the module holds at least.
    unsigned grownFrames_ = 0;
    float squareDetune_ = NAN;
    float squareFactor_ = 1.0f;
};

// Snaps an FM ratio within a hundredth of a quarter, a third, a half, three quarters or a whole
// number onto it; answers the ratio and whether it was snapped.
std::pair<float, bool> snapModRatio(float ratio);

} // namespace Lumora::Corvane::Module
