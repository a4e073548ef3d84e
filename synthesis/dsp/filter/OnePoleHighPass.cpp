#include "synthesis/dsp/filter/OnePoleHighPass.h"

#include <cmath>

namespace Lumora::DSP::Filter {

void OnePoleHighPass::process(float* out, const float* in, unsigned n)
{
    const float a = a_;
    const float b = 1.0f - a;
    float y = y_;
    for (unsigned i = 0; i < n; ++i) {
        const float x = in[i];
        y = b * x + a * y;
        out[i] = x - y;
    }
    if (!std::isfinite(y)) {
        y = 0.0f;
        for (unsigned i = 0; i < n; ++i)
            out[i] = 0.0f;
    }
    y_ = y;
}

} // namespace Lumora::DSP::Filter
