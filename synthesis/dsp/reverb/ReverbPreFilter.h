#pragma once

#include "synthesis/dsp/filter/OnePoleHighPass.h"
#include "synthesis/dsp/filter/OnePoleLowPass.h"
#include "synthesis/dsp/reverb/ReverbImplementation.h"

#include <vector>

namespace Lumora::DSPv2 {

// Optional one-pole high and low pass per channel in front of the reverb.
class Reverb::Implementation::PreFilter {
public:
    PreFilter(bool highPass, bool lowPass, std::size_t reserve);
    virtual ~PreFilter();

    void process(const float* inL, const float* inR, unsigned frames, float highPassFrequency, float lowPassFrequency);
    void reset();
    // A block of silence while the filters hold zeros: they take these settings and stay at zero.
    void idle(float highPassFrequency, float lowPassFrequency);

    const float* left() const { return outL_.data(); }
    const float* right() const { return outR_.data(); }

private:
    void channel(DSP::Filter::OnePoleHighPass& hp, DSP::Filter::OnePoleLowPass& lp, std::vector<float>& out,
                 const float* in, unsigned frames, float highPassFrequency, float lowPassFrequency);

    bool highPass_;
    bool lowPass_;
    DSP::Filter::OnePoleLowPass lpL_, lpR_;
    DSP::Filter::OnePoleHighPass hpL_, hpR_;
    std::vector<float> outL_, outR_;
};

} // namespace Lumora::DSPv2
