#include "synthesis/dsp/filter/FilterFrequency.h"

#include <cmath>

namespace Lumora::DSP::Filter {

float hz2paramFreq(float hz, float sampleRate)
{
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate))
        return 0.0f;
    return 2.0f * hz / sampleRate;
}

} // namespace Lumora::DSP::Filter
