#pragma once

#include "synthesis/dsp/common/SettingsKey.h"
#include "synthesis/dsp/delay/v2/Delay.h"
#include "synthesis/dsp/reverb/Reverb.h"
#include "synthesis/dsp/reverb/ReverbDiffuser.h"
#include "synthesis/dsp/reverb/ReverbEarly.h"
#include "synthesis/dsp/reverb/ReverbLate.h"

#include <memory>
#include <vector>

namespace Lumora::DSPv2 {

class Reverb::Implementation {
public:
    class PreFilter;

    explicit Implementation(unsigned abilities);
    virtual ~Implementation();

    void process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
                 const Parameters& parameters);
    void reset();
    // See Reverb::idle.
    void idle(unsigned frames, float sampleRate, const Parameters& parameters);

    unsigned abilities() const { return abilities_; }
    // Samples the sound needs to cross the room, and the per-sample decay factor, of the last block.
    float roomSamples() const { return d_; }
    float decayFactor() const { return g_; }
    const ReverbEarly& early() const { return early_; }
    const ReverbLate& late() const { return late_; }
    const ReverbDiffuser& diffuser() const { return diffuser_; }
    const Delay& preDelay() const { return preDelay_; }

private:
    bool has(unsigned ability) const { return (abilities_ & ability) != 0; }
    void monoFeed(unsigned frames, float sampleRate, float preDelaySeconds);
    // Works out the room's d_ and g_ for a block; false without a usable sample rate, when the
    // block keeps the state.
    bool startBlock(float sampleRate, const Parameters& p);

    unsigned abilities_;
    std::unique_ptr<PreFilter> pre_;
    std::vector<float> sum_;
    std::vector<float> feed_;
    Delay preDelay_;
    ReverbEarly early_;
    ReverbLate late_;
    ReverbDiffuser diffuser_;
    float d_ = 0.0f;
    float g_ = 0.0f;
    // The decay time and sample rate g_ was worked out for: the power is paid only when one moves.
    DSP::SettingsKey<2> gKey_;
};

} // namespace Lumora::DSPv2
