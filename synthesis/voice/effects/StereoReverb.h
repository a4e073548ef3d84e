#pragma once

#include <vector>

#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/reverb/Reverb.h"
#include "synthesis/dsp/shaper/StereoAmp.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora::Corvane::Module {

// The reverb module's type-1 engine: the library's stereo reverb with pre-filters and pre-delay,
// sized by the reverb time.
class StereoReverb {
public:
    StereoReverb();

    // Also grows the reverb's own work buffers, by running it once over silence.
    void reserve(unsigned maxFrames, float sampleRate);
    // Outputs may be the inputs.
    void process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
                 const Parameters::Reverb& parameters);
    void reset();
    // A block whose send is closed and whose reverb is silent: the send's ramp stays at 0 and the
    // reverb is not run; the output is the input.
    void rest(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
              const Parameters::Reverb& parameters);
    // A block over silent input while the reverb has never held anything but silence, with the send
    // open. Over silence only the reverb's settings and glides move, and they come to rest a few
    // blocks after a change; they are moved alone (see DSPv2::Reverb::idle) until the last block
    // moved none of them, then only when the parameters or the block length change. Otherwise
    // only the send's ramp moves. The output is the input plus silence, as process would give.
    void idle(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
              const Parameters::Reverb& parameters);
    // Whether the send ended the last block at 0 or has not run yet (it then starts at its gain).
    bool sendClosed() const { return !(send_.lastGain() > 0.0f); }
    // After a block in which nothing was heard: there is nothing to glide from, so the next send
    // setting is taken at once (the gain stage still ramps over the block from its last gain).
    void takeNextSendAtOnce() { sendGain_.snapNext(); }
    // Whether the wet signal of the last processed block of `frames` stayed below the rest threshold.
    bool wetQuiet(unsigned frames) const { return quiet(left_.data(), frames) && quiet(right_.data(), frames); }

    const DSPv2::Reverb& reverb() const { return reverb_; }

    // The reverb's parameter block for these settings.
    static void configure(DSPv2::Reverb::Parameters& target, float sampleRate, const Parameters::Reverb& parameters);

private:
    // Configures the reverb (reverb_.param) for this block's settings when they or the sample rate
    // have changed since it was last configured; nothing else writes those parameters.
    void followSettings(float sampleRate, const Parameters::Reverb& parameters);
    void moveSend(float gain, unsigned frames);

    DSPv2::Reverb reverb_;
    DSP::StereoAmp send_;
    // The send's gain glides to a new setting over kGlideSeconds, the same for every block size.
    DSP::LinearGlide sendGain_;
    std::vector<float> left_;
    std::vector<float> right_;
    // The parameters and sample rate the reverb last ran with over silence, if it has since been
    // neither run on a signal nor reset.
    DSPv2::Reverb::Parameters settledParameters_;
    float settledSampleRate_ = 0.0f;
    unsigned settledFrames_ = 0;
    bool settled_ = false;
    // Time, damping, pre-delay, high-pass and sample rate the reverb was configured for.
    SettingsKey<5> settingsKey_;
    unsigned glideFrames_ = 1;
};

} // namespace Lumora::Corvane::Module
