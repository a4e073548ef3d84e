#include "synthesis/dsp/filter/OnePoleLowPass.h"

#include <cmath>

namespace Lumora::DSP::Filter {

void OnePoleLowPass::reset()
{
    y_ = 0.0f;
}

void OnePoleLowPass::setParam(float frequency, float)
{
    setFrequency(frequency);
}

void OnePoleLowPass::setFrequency(float frequency)
{
    // NaN is treated as 0 (hold), so the pole never leaves [exp(-pi), 1].
    const float f = frequency > 1.0f ? 1.0f : (frequency > 0.0f ? frequency : 0.0f);
    // Voices set their frequency every block, mostly unchanged: the pole is kept for it.
    if (designed_ && f == designFrequency_)
        return;
    designed_ = true;
    designFrequency_ = f;
    a_ = std::exp(-3.14159265358979f * f);
}

void OnePoleLowPass::process(float* out, const float* in, unsigned n)
{
    const float a = a_;
    const float b = 1.0f - a;
    float y = y_;
    for (unsigned i = 0; i < n; ++i) {
        y = b * in[i] + a * y;
        out[i] = y;
    }
    // A NaN or infinite input would otherwise stay in the state for good.
    if (!std::isfinite(y)) {
        y = 0.0f;
        for (unsigned i = 0; i < n; ++i)
            out[i] = 0.0f;
    }
    y_ = y;
}

} // namespace Lumora::DSP::Filter
