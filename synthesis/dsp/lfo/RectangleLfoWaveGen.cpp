#include "synthesis/dsp/lfo/RectangleLfoWaveGen.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSP {

RectangleLfoWaveGen::RectangleLfoWaveGen()
    : WaveGenelator(LFO::Rectangle, false)
{
}

float RectangleLfoWaveGen::waveValue(float, float phase, float shape)
{
    const float w = 0.1f + 0.8f * shape;
    return phase < w ? 1.0f : 0.0f;
}

} // namespace Lumora::DSP
