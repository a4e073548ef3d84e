#include "synthesis/dsp/lfo/SineLfoWaveGen.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSP {

SineLfoWaveGen::SineLfoWaveGen()
    : WaveGenelator(LFO::Sine, true)
{
}

float SineLfoWaveGen::waveValue(float, float phase, float shape)
{
    const float s = (1.0f + 4.0f * shape) * std::sin(6.2831853f * (phase - 0.25f));
    return 0.5f + 0.5f * std::clamp(s, -1.0f, 1.0f);
}

} // namespace Lumora::DSP
