#include "synthesis/dsp/noise/GeigerNoise.h"

#include "synthesis/dsp/noise/XorAddGenerator.h"

#include <cmath>

namespace Lumora::DSP::OSC {

unsigned GeigerNoise::clickPeriod(float density)
{
    const float d = density > 1.0f ? 1.0f : (density > 0.0f ? density : 0.0f); // NaN too
    const float d2 = d * d;
    return static_cast<unsigned>(8820.0f * d2 * d2 + 1.0f);
}

void GeigerNoise::restart(float phase)
{
    iShapingNoise::restart(phase);
    counter_ = 0;
}

void GeigerNoise::process(float* out, unsigned n, float)
{
    if (n == 0)
        return;
    float d = shapingValue(0);
    d = d > 1.0f ? 1.0f : (d > 0.0f ? d : 0.0f);
    float background = shapingValue(1);
    if (!std::isfinite(background))
        background = 0.0f;
    const float d2 = d * d;
    const unsigned period = clickPeriod(d);
    std::uint32_t counter = counter_;
    sharedGenerator.draw([&](XorAddGenerator& g) {
        counter = counter_;
        for (unsigned i = 0; i < n; ++i) {
            const float x = g.next();
            if (counter % period != 0) {
                out[i] = background * x;
            } else {
                out[i] = (1.0f - d2) * x + d2;
                // The next click comes after a random jump in [0, P) plus the one sample below.
                const float y = g.next();
                counter += static_cast<std::uint32_t>((y + 1.0f) * 0.5f * float(period));
            }
            ++counter;
        }
    });
    counter_ = counter;
}

} // namespace Lumora::DSP::OSC
