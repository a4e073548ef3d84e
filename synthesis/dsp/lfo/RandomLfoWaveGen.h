#pragma once

#include "synthesis/dsp/lfo/SmootherWaveGen.h"

namespace Lumora::DSP {

// A new random level in [0, 1) at every cycle, held in between (optionally smoothed).
class RandomLfoWaveGen : public SmootherWaveGen {
public:
    RandomLfoWaveGen();
    float waveValue(float cycle, float phase, float shape) override;

private:
    float lastCycle_ = 0.0f;
    float value_ = 0.0f;
};

} // namespace Lumora::DSP
