#pragma once

#include "synthesis/dsp/lfo/WaveGenelator.h"

namespace Lumora::DSP {

// Morphs from a falling saw (shape 0) through a triangle (0.5) to a square (1).
class SawTriSquLfoWaveGen : public LFO::WaveGenelator {
public:
    SawTriSquLfoWaveGen();
    float waveValue(float cycle, float phase, float shape) override;
};

} // namespace Lumora::DSP
