#include "synthesis/dsp/filter/DCBlockingFilter.h"

#include <cmath>

namespace Lumora::DSP {

void DCBlockingFilter::reset()
{
    x1_ = 0.0f;
    y1_ = 0.0f;
}

float DCBlockingFilter::coefficient(float sampleRate, float cutoff)
{
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate))
        return 1.0f;
    const float R = 1.0f + (-2.0f * 3.14159265358979f * cutoff) / sampleRate;
    // A cutoff above sampleRate / pi would put the pole below -1, and NaN anywhere: keep it in [0, 1].
    return R > 1.0f ? 1.0f : (R > 0.0f ? R : 0.0f);
}

void DCBlockingFilter::process(float* out, const float* in, unsigned n, float sampleRate, float cutoff)
{
    if (n == 0)
        return;
    const float R = coefficient(sampleRate, cutoff);
    float x1 = x1_;
    float y1 = y1_;
    for (unsigned i = 0; i < n; ++i) {
        const float x = in[i];
        const float y = (x - x1) + R * y1;
        x1 = x;
        y1 = y;
        out[i] = y;
    }
    if (!std::isfinite(y1) || !std::isfinite(x1)) {
        x1 = y1 = 0.0f;
        for (unsigned i = 0; i < n; ++i)
            out[i] = 0.0f;
    }
    x1_ = x1;
    y1_ = y1;
}

} // namespace Lumora::DSP
