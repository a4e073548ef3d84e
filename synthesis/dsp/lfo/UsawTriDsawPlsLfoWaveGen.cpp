#include "synthesis/dsp/lfo/UsawTriDsawPlsLfoWaveGen.h"

namespace Lumora::DSP {

UsawTriDsawPlsLfoWaveGen::UsawTriDsawPlsLfoWaveGen()
    : WaveGenelator(LFO::UsawTriDsawPls, true)
{
}

UsawTriDsawPlsLfoWaveGen::UsawTriDsawPlsLfoWaveGen(LFO::WAVEFORM_TYPE type)
    : WaveGenelator(type, true)
{
}

// Rises over 1 - k of the cycle and falls over the remaining k.
float UsawTriDsawPlsLfoWaveGen::sawTriangle(float phase, float shape)
{
    const float k = 2.0f * shape;
    if (phase <= 1.0f - k)
        return phase / (1.0f - k);
    return (1.0f - phase) / k;
}

float UsawTriDsawPlsLfoWaveGen::sawIntoPulse(float phase, float shape, float width)
{
    const float m = 4.0f * (shape - 0.5f);
    const float saw = (1.0f - m) * (1.0f - phase);
    return phase <= width ? saw + m : saw;
}

float UsawTriDsawPlsLfoWaveGen::waveValue(float, float phase, float shape)
{
    if (shape < 0.5f)
        return sawTriangle(phase, shape);
    if (shape < 0.75f)
        return sawIntoPulse(phase, shape, 0.9f);
    const float w = 0.9f - 3.2f * (shape - 0.75f);
    return phase <= w ? 1.0f : 0.0f;
}

} // namespace Lumora::DSP
