#pragma once

#include <array>
#include <vector>

#include "engine/instrument/AudioQuality.h"
#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/delay/LpfFeedbackFx.h"
#include "synthesis/dsp/delay/MultiTapDelay.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/dsp/shaper/Crossfader.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/effects/ReadbackSlot.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora {
class Clock;
}

namespace Lumora::Corvane::Module {

// The instrument's first effect: turns the mono voice mix into a stereo chorus. One delay line
// is read at three points, each swept by its own LFO; the main point goes to both sides, the two
// taps to one side each, and the spread sets how far apart the three sweeps run. Built on the
// main thread; process and reset run on the render thread.
class Chorus {
public:
    Chorus();
    virtual ~Chorus() = default;
    Chorus(const Chorus&) = delete;
    Chorus& operator=(const Chorus&) = delete;

    // Sizes every work buffer for blocks of up to maxFrames, so that no render call allocates.
    // Called when render resources are allocated; the sample rate is not needed here.
    void reserve(unsigned maxFrames, float sampleRate = 0.0f);
    // The outputs may be the input. A switched-off block copies the input to both sides. With the
    // wet amount at 0 and its crossfades settled the chorus is not heard: it rests, only writing
    // the input into its line and moving its LFOs, and gives the dry signal.
    void process(float* outL, float* outR, const float* in, unsigned frames, float sampleRate, const Clock& clock,
                 const Parameters::Chorus& parameters, unsigned engineVersion, AudioQuality quality);
    void reset();
    // A block over silent input while nothing has ever been written into the line but silence:
    // the LFOs, read points, line glides and crossfades move exactly as in process, whose output
    // would be silence; no signal is computed. in holds the block's (silent) input.
    void idle(const float* in, unsigned frames, float sampleRate, const Clock& clock,
              const Parameters::Chorus& parameters);

    // Main thread: moves the rate LFO's latest level into its read-back parameter.
    bool publishReadbacks(Parameters::Chorus& parameters);
    const ReadbackSlot& rateOutput() const { return rateOutput_; }

    const DSP::MultiTapDelay& delayLine() const { return delay_; }

    // Whether the last block rested. A module that may not rest always runs in full (for
    // comparisons and measurements).
    bool resting() const { return resting_; }
    void allowRest(bool allowed) { restAllowed_ = allowed; }

private:
    // Works out what the settings come to when one of them or the sample rate has changed.
    void followSettings(float sampleRate, const Parameters::Chorus& parameters);
    void runLfos(unsigned frames, float sampleRate, const Clock& clock);
    void setReadPoints();
    bool canRest(const Parameters::Chorus& parameters, float wet) const;
    // The control work of a block, shared by process and idle: answers the wet amount, at which
    // the wet glide aims.
    float prepareBlock(unsigned frames, float sampleRate, const Clock& clock, const Parameters::Chorus& parameters);

    std::vector<float> main_;
    std::vector<float> tap0_;
    std::vector<float> tap1_;
    std::vector<float> dry_;
    DSP::LpfFeedbackFx damping_;
    DSP::MultiTapDelay delay_;
    std::array<DSP::LFO, 3> lfos_;
    // One per side, so that a change of the wet amount glides on both.
    DSP::Crossfader crossfaderL_;
    DSP::Crossfader crossfaderR_;
    // The wet amount glides to a new setting over kGlideSeconds, the same for every block size.
    DSP::LinearGlide wet_;
    ReadbackSlot rateOutput_;
    // What the settings come to: rate, spread, depth, base time, feedback, wet and sample rate.
    SettingsKey<7> settingsKey_;
    float base_ = 0.0f;      // the read points' longest time
    float depth_ = 0.0f;     // m: the sweep's share of it
    float undepth_ = 0.0f;   // 1 - m
    float wetAmount_ = 0.0f; // the wet amount the glide aims at
    unsigned glideFrames_ = 1;
    bool resting_ = false;
    bool restAllowed_ = true;
};

} // namespace Lumora::Corvane::Module
