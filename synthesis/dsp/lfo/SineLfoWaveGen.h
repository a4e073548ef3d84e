#pragma once

#include "synthesis/dsp/lfo/WaveGenelator.h"

namespace Lumora::DSP {

// Starts at 0, peaks at phase 0.5; a shape above 0 drives it towards a square.
class SineLfoWaveGen : public LFO::WaveGenelator {
public:
    SineLfoWaveGen();
    float waveValue(float cycle, float phase, float shape) override;
};

} // namespace Lumora::DSP
