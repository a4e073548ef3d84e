#include "synthesis/dsp/lfo/SpikeSawLfoWaveGen.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSP {

SpikeSawLfoWaveGen::SpikeSawLfoWaveGen()
    : WaveGenelator(LFO::SpikeSaw, true)
{
}

float SpikeSawLfoWaveGen::waveValue(float, float phase, float shape)
{
    const float w = 0.1f + 0.9f * shape;
    return phase < w ? 1.0f - phase / w : 0.0f;
}

} // namespace Lumora::DSP
