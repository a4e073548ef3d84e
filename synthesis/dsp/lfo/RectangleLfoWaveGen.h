#pragma once

#include "synthesis/dsp/lfo/WaveGenelator.h"

namespace Lumora::DSP {

// A pulse of width 0.1 .. 0.9 cycle.
class RectangleLfoWaveGen : public LFO::WaveGenelator {
public:
    RectangleLfoWaveGen();
    float waveValue(float cycle, float phase, float shape) override;
};

} // namespace Lumora::DSP
