#pragma once

#include <array>
#include <vector>

#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/delay/AllPassFilter_PositiveFdbk.h"
#include "synthesis/dsp/delay/HiDampDelay.h"
#include "synthesis/dsp/delay/SingleDelay.h"
#include "synthesis/dsp/filter/OnePoleHighPass.h"
#include "synthesis/dsp/shaper/Amplifier.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora::Corvane::Module {

// The reverb module's type-0 engine: a compact mono network of a pre-delay, five damped combs in
// parallel and two all-passes in series, fed by the sum of both channels.
class CompactReverb {
public:
    CompactReverb();

    void reserve(unsigned maxFrames);
    // Adds the same mono wet signal to both channels; outputs may be the inputs.
    void process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
                 const Parameters::Reverb& parameters);
    void reset();
    // A block whose send is closed and whose network is silent: the settings are derived as in
    // process, the send's ramp stays at 0, nothing else is computed; the output is the input.
    void rest(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
              const Parameters::Reverb& parameters);
    // A block over silent input while the network has never held anything but silence, with the
    // send open: the network runs only when its settings changed since it last ran over silence
    // (its glides then end on their targets, as after any silent block); otherwise only the send's
    // ramp moves. The output is the input, as process would give.
    void idle(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
              const Parameters::Reverb& parameters);
    // Whether the send ended the last block at 0, or starts the next one from nothing (after reset).
    bool sendClosed() const { return send_.unset() || send_.lastGain() == 0.0f; }
    // After a block in which nothing was heard: there is nothing to glide from, so the next send
    // setting is taken at once (the gain stage still ramps over the block from its last gain).
    void takeNextSendAtOnce() { sendGain_.snapNext(); }
    // Whether the wet signal of the last processed block of `frames` stayed below the rest threshold.
    bool wetQuiet(unsigned frames) const;

    // Settings as the last block derived them.
    float combFeedback(unsigned comb) const { return combs_[comb].line.feedback(); }
    // The damping filters' pass value c and coefficient a, the same for every comb.
    float dampingC() const { return dampingC_; }
    float dampingA() const { return dampingA_; }

    static constexpr unsigned kCombCount = 5;

private:
    struct Comb {
        Comb();
        std::vector<float> out;
        DSP::HiDampDelay line;
    };
    struct AllPass {
        AllPass();
        std::vector<float> out;
        DSP::AllPassFilter_PositiveFdbk line;
    };

    void configure(float sampleRate, const Parameters::Reverb& parameters);
    // Configures the network when its settings or the sample rate have changed since it was last
    // configured; nothing else sets its lines and filters, and a reset keeps their settings.
    void followSettings(float sampleRate, const Parameters::Reverb& parameters);
    void moveSend(float gain, unsigned frames);

    DSP::Amplifier send_;
    // The send's gain glides to a new setting over kGlideSeconds, the same for every block size.
    DSP::LinearGlide sendGain_;
    std::vector<float> mono_;
    DSP::SingleDelay preDelay_;
    std::array<Comb, kCombCount> combs_;
    std::array<AllPass, 2> allPasses_;
    DSP::Filter::OnePoleHighPass highPass_;
    float dampingC_ = 0.9f;
    float dampingA_ = 0.19f;
    // What configure derived the network from when it last ran over silence, if it has since been
    // neither run on a signal nor reset: pre-delay, time, damping, high pass and sample rate.
    std::array<float, 5> settledSettings_{};
    bool settled_ = false;
    // Pre-delay, time, damping, high pass and sample rate the network is configured for.
    SettingsKey<5> settingsKey_;
    unsigned glideFrames_ = 1;
};

} // namespace Lumora::Corvane::Module
