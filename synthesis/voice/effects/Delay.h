#pragma once

#include <vector>

#include "engine/instrument/AudioQuality.h"
#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/delay/HiDampStereoDelay.h"
#include "synthesis/dsp/filter/BiquadFilter.h"
#include "synthesis/dsp/filter/DCBlockingFilter.h"
#include "synthesis/dsp/filter/OnePoleHighPass.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/dsp/lfo/Smoother.h"
#include "synthesis/dsp/shaper/Amplifier.h"
#include "synthesis/dsp/shaper/Crossfader.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/effects/ReadbackSlot.h"
#include "synthesis/voice/modules/Saturator.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora {
class Clock;
}

namespace Lumora::Corvane::Module {

// The instrument's tempo-synchronised stereo echo: a send into a high-pass and a damped stereo
// delay with cross feedback and a swept delay time, then an optional filter-and-drive section
// on the echoes. The dry signal passes at full level. Built on the main thread; process and
// reset run on the render thread.
class Delay {
public:
    Delay();
    virtual ~Delay() = default;
    Delay(const Delay&) = delete;
    Delay& operator=(const Delay&) = delete;

    // Sizes every work buffer for blocks of up to maxFrames, so that no render call allocates.
    // Called when render resources are allocated; the sample rate is not needed here.
    void reserve(unsigned maxFrames, float sampleRate = 0.0f);
    // Outputs may be the inputs. A switched-off block passes the input through. With the send at 0
    // (its ramp settled there) and no echo left, the delay rests: its LFOs and delay times move on,
    // nothing is computed on the signal and the output is the dry input. It wakes the block the
    // send opens, from a cleared line.
    void process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
                 const Clock& clock, Parameters::Delay& parameters, unsigned engineVersion, AudioQuality quality);
    // A block over silent input while the line has never held anything but silence: the send
    // ramps, delay times, LFOs, filter settings and crossfades move exactly as in process, whose
    // echoes would be silence; no signal is computed.
    void idle(unsigned frames, float sampleRate, const Clock& clock, Parameters::Delay& parameters,
              unsigned engineVersion);
    // Clears the echoes and filters; the LFOs and the delay-time glide keep their state.
    void reset();

    // Main thread: moves the LFOs' latest levels into their read-back parameters.
    bool publishReadbacks(Parameters::Delay& parameters);
    const ReadbackSlot& timeModRateOutput() const { return timeModRateOutput_; }
    const ReadbackSlot& filterRateOutput() const { return filterRateOutput_; }

    // The smoothed tempo-synced delay time of a channel (0 left, 1 right), in seconds, before
    // the time modulation is added.
    float smoothedTime(int channel) const { return (channel < 1 ? timeL_ : timeR_).value(); }
    const DSP::HiDampStereoDelay& echo() const { return echo_; }

    // Whether the last block rested. A module that may not rest always runs in full (for
    // comparisons and measurements).
    bool resting() const { return rest_.resting; }
    void allowRest(bool allowed) { rest_.allowed = allowed; }

private:
    // Works out what the settings and the tempo come to when one of them or the sample rate has
    // changed, and sets the echo's feedback, cross feedback and damping and the LFOs' wavelengths.
    void followSettings(float sampleRate, const Clock& clock, const Parameters::Delay& parameters);
    void send(unsigned frames, const float* inL, const float* inR, const Parameters::Delay& parameters);
    void moveSend(float gain, unsigned frames);
    void setEcho(unsigned frames, float sampleRate, const Clock& clock, const Parameters::Delay& parameters);
    void filterEchoes(unsigned frames, float sampleRate, const Clock& clock, const Parameters::DelayFilter& filter,
                      unsigned engineVersion);
    void driveEchoes(unsigned frames, float sampleRate, float drive);
    float runFilterLfo(unsigned frames, float sampleRate, const Clock& clock, const Parameters::DelayFilter& filter);
    void crossfadeEchoes(unsigned frames);
    void moveCrossfades(unsigned frames);
    bool filterSectionRuns(const Parameters::DelayFilter& filter, float wet) const;
    bool canRest(float sendGain) const;
    void rest(unsigned frames, float sampleRate, const Clock& clock, const Parameters::Delay& parameters);
    void idleBlock(unsigned frames, float sampleRate, const Clock& clock, const Parameters::Delay& parameters,
                   unsigned engineVersion);
    void idleFilterSection(unsigned frames, float sampleRate, const Clock& clock, const Parameters::DelayFilter& filter,
                           unsigned engineVersion);
    void clearSignal();

    std::vector<float> sentL_;
    std::vector<float> sentR_;
    DSP::Amplifier sendL_;
    DSP::Amplifier sendR_;
    // The send's gain glides to a new setting over kGlideSeconds, the same for every block size.
    DSP::LinearGlide sendGain_;
    DSP::Filter::OnePoleHighPass highPassL_;
    DSP::Filter::OnePoleHighPass highPassR_;
    std::vector<float> echoL_;
    std::vector<float> echoR_;
    DSP::HiDampStereoDelay echo_;
    DSP::LFO timeLfo_;
    DSP::LFO filterLfo_;
    DSP::Filter::BiquadFilter filterL_;
    DSP::Filter::BiquadFilter filterR_;
    std::vector<float> filteredL_;
    std::vector<float> filteredR_;
    Saturator saturatorL_;
    Saturator saturatorR_;
    DSP::DCBlockingFilter dcBlockerL_;
    DSP::DCBlockingFilter dcBlockerR_;
    std::vector<float> unblocked_;
    // Whether the drive stage ran in the last block that filtered the echoes.
    bool driveSounded_ = false;
    // One per side, so that a change of the filter's wet amount glides on both.
    DSP::Crossfader crossfaderL_;
    DSP::Crossfader crossfaderR_;
    // The filter's wet amount glides to a new setting over kGlideSeconds, the same for every block
    // size; the crossfades follow it span by span.
    DSP::LinearGlide wet_;
    DSP::Smoother<float> timeL_{0.96f, 0.0f};
    DSP::Smoother<float> timeR_{0.96f, 0.0f};
    ReadbackSlot timeModRateOutput_;
    ReadbackSlot filterRateOutput_;
    SendRest rest_;
    // Time-mod rate, filter LFO rate, time L and R, feedback, cross feedback, damping, high-pass and
    // sample rate, and the tempo, that the values below were worked out from.
    SettingsKey<9> settingsKey_;
    double bpm_ = 0.0;
    float targetTimeL_ = 0.0f; // the tempo-synced delay times, in seconds
    float targetTimeR_ = 0.0f;
    float highPassCutoff_ = 0.0f;
    unsigned glideFrames_ = 1;
};

} // namespace Lumora::Corvane::Module
