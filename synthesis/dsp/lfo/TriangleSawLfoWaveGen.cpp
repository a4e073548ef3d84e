#include "synthesis/dsp/lfo/TriangleSawLfoWaveGen.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSP {

TriangleSawLfoWaveGen::TriangleSawLfoWaveGen()
    : WaveGenelator(LFO::TriangleSaw, true)
{
}

float TriangleSawLfoWaveGen::waveValue(float, float phase, float shape)
{
    if (phase < shape)
        return phase / shape;
    return 1.0f - (phase - shape) / (1.0f - shape);
}

} // namespace Lumora::DSP
