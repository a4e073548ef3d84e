#pragma once

#include "synthesis/dsp/lfo/WaveGenelator.h"

namespace Lumora::DSP {

// A triangle whose peak sits at the shape: 0 falling saw, 0.5 triangle, 1 rising saw.
class TriangleSawLfoWaveGen : public LFO::WaveGenelator {
public:
    TriangleSawLfoWaveGen();
    float waveValue(float cycle, float phase, float shape) override;
};

} // namespace Lumora::DSP
