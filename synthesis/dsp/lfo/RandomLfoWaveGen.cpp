#include "synthesis/dsp/lfo/RandomLfoWaveGen.h"

#include <cstdlib>

namespace Lumora::DSP {

RandomLfoWaveGen::RandomLfoWaveGen()
    : SmootherWaveGen(LFO::Random)
{
}

// The LFO hands over a running cycle count that wraps, so a change of count (not only an
// increase) marks a new cycle.
float RandomLfoWaveGen::waveValue(float cycle, float, float)
{
    if (cycle != lastCycle_) {
        lastCycle_ = cycle;
        value_ = static_cast<float>(std::rand()) * 4.656612873077393e-10f; // 2^-31
    }
    return value_;
}

} // namespace Lumora::DSP
