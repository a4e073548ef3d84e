#include "synthesis/dsp/shaper/AsymSaturator.h"

namespace Lumora::DSP {

AsymSaturator::AsymSaturator(float k, unsigned N) : WaveShaper(N)
{
    const unsigned size = length();
    for (unsigned i = 0; i < size; ++i) {
        const float u = float(i) * (2.0f / float(size)) - 1.0f;
        table_[i] = 2.0f * u / (1.0f + u * u) * (i < size / 2 ? k : 1.0f);
    }
}

} // namespace Lumora::DSP
