#include "synthesis/dsp/noise/SampleAndHoldNoise.h"

#include "synthesis/dsp/noise/XorAddGenerator.h"

#include <cmath>

namespace Lumora::DSP::OSC {

unsigned SampleAndHoldNoise::holdPeriod(float shape, float sampleRate)
{
    const float s = shape > 0.0f ? shape : 0.0f; // NaN too
    const float e = s > 1.0f ? 0.0f : (1.0f - s) * 10.0f;
    // The hold rate relative to 24 kHz; an unknown sample rate holds longest rather than dividing by 0.
    float r = (sampleRate > 0.0f) ? (24000.0f / (sampleRate * 0.5f)) * std::exp2(-e) : 0.0f;
    r = r > 1.0f ? 1.0f : (r > 0.0f ? r : 0.0f);
    return static_cast<unsigned>(r * 2000.0f + 1.0f);
}

void SampleAndHoldNoise::process(float* out, unsigned n, float sampleRate)
{
    if (n == 0)
        return;
    const unsigned period = holdPeriod(shapingValue(0), sampleRate);
    float held = held_;
    std::uint32_t counter = counter_;
    sharedGenerator.draw([&](XorAddGenerator& g) {
        held = held_;
        counter = counter_;
        for (unsigned i = 0; i < n; ++i) {
            if (counter % period == 0)
                held = g.next();
            out[i] = held;
            ++counter;
        }
    });
    held_ = held;
    counter_ = counter;
}

} // namespace Lumora::DSP::OSC
