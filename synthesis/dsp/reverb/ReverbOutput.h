#pragma once

#include "synthesis/dsp/filter/OnePoleHighPass.h"
#include "synthesis/dsp/filter/OnePoleLowPass.h"
#include "synthesis/dsp/shaper/Amplifier.h"

namespace Lumora::DSPv2 {

// How both reverb stages end: their level (gliding across the block), then a one-pole high pass
// and a one-pole low pass, each present only if the stage was built with it.
class ReverbOutput {
public:
    ReverbOutput(bool highPass, bool lowPass);

    // In place on out.
    void process(float* out, unsigned frames, float level, float highPassFrequency, float lowPassFrequency);
    void reset();

private:
    bool highPass_;
    bool lowPass_;
    DSP::Filter::OnePoleLowPass lp_;
    DSP::Filter::OnePoleHighPass hp_;
    DSP::Amplifier amp_;
};

} // namespace Lumora::DSPv2
