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

void DCBlockingFilter::updatePowers(float sampleRate, float cutoff)
{
    const double r = coefficient(sampleRate, cutoff);
    powers_[0] = float(r);
    powers_[1] = float(r * r);
    powers_[2] = float(r * r * r);
    powers_[3] = float(r * r * r * r);
    powersSampleRate_ = sampleRate;
    powersCutoff_ = cutoff;
}

void DCBlockingFilter::process(float* out, const float* in, unsigned n, float sampleRate, float cutoff)
{
    if (n == 0)
        return;
    if (!(sampleRate == powersSampleRate_ && cutoff == powersCutoff_))
        updatePowers(sampleRate, cutoff);
    // y[i] = d[i] + R y[i-1] with d[i] = x[i] - x[i-1], unrolled four samples at a time:
    // y[j] = R^(j+1) y[-1] + sum_{m<=j} R^(j-m) d[m]. Each group of four then waits on one product
    // of the last output instead of four in a row, and its four outputs are independent lanes.
    const float p[4] = {powers_[0], powers_[1], powers_[2], powers_[3]};
    const float R = p[0];
    float x1 = x1_;
    float y1 = y1_;
    unsigned i = 0;
    for (; i + 4 <= n; i += 4) {
        const float d[4] = {in[i] - x1, in[i + 1] - in[i], in[i + 2] - in[i + 1], in[i + 3] - in[i + 2]};
        x1 = in[i + 3];
        const float y[4] = {d[0] + p[0] * y1, d[1] + p[0] * d[0] + p[1] * y1,
                            d[2] + p[0] * d[1] + p[1] * d[0] + p[2] * y1,
                            d[3] + p[0] * d[2] + p[1] * d[1] + p[2] * d[0] + p[3] * y1};
        y1 = y[3];
        for (int j = 0; j < 4; ++j)
            out[i + j] = y[j];
    }
    for (; i < n; ++i) {
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
