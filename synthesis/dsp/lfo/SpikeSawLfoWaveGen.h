#pragma once

#include "synthesis/dsp/lfo/WaveGenelator.h"

namespace Lumora::DSP {

// A falling spike of width 0.1 .. 1 cycle, then silence.
class SpikeSawLfoWaveGen : public LFO::WaveGenelator {
public:
    SpikeSawLfoWaveGen();
    float waveValue(float cycle, float phase, float shape) override;
};

} // namespace Lumora::DSP
