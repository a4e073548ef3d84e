#include "synthesis/dsp/lfo/UsawTriDsawSquRndLfoWaveGen.h"

#include "synthesis/dsp/noise/XorAddGenerator.h"

namespace Lumora::DSP {

UsawTriDsawSquRndLfoWaveGen::UsawTriDsawSquRndLfoWaveGen()
    : UsawTriDsawPlsLfoWaveGen(LFO::UsawTriDsawSquRnd)
{
}

float UsawTriDsawSquRndLfoWaveGen::waveValue(float, float phase, float shape)
{
    if (shape < 0.5f)
        return sawTriangle(phase, shape);
    if (shape < 0.75f)
        return sawIntoPulse(phase, shape, 0.5f);
    // The shared generator is stepped only where the random level is heard, so that the other
    // shapes leave its sequence to the noise sources and the pitch drift.
    const std::uint32_t half = phase < 0.5f ? 0u : 1u;
    if (half != lastHalf_) {
        lastHalf_ = half;
        random_ = (sharedGenerator.next() + 1.0f) * 0.5f;
    }
    const float r = 4.0f * (shape - 0.75f);
    const float square = phase < 0.5f ? 1.0f : 0.0f;
    return (1.0f - r) * square + r * random_;
}

} // namespace Lumora::DSP
