#include "synthesis/dsp/lfo/SawTriSquLfoWaveGen.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSP {

SawTriSquLfoWaveGen::SawTriSquLfoWaveGen()
    : WaveGenelator(LFO::SawTriSqu, true)
{
}

float SawTriSquLfoWaveGen::waveValue(float, float phase, float shape)
{
    const float tri = phase <= 0.5f ? 2.0f * phase : 2.0f - 2.0f * phase;
    const float sq = phase <= 0.5f ? 1.0f : 0.0f;
    if (shape <= 0.0f)
        return 1.0f - phase;
    if (shape < 0.5f)
        return (1.0f - 2.0f * shape) * (1.0f - phase) + 2.0f * shape * tri;
    if (shape == 0.5f)
        return tri;
    if (shape < 1.0f) {
        const float k = 2.0f * (shape - 0.5f);
        return (1.0f - k) * tri + k * sq;
    }
    return sq;
}

} // namespace Lumora::DSP
