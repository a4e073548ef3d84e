#include "synthesis/dsp/noise/NoiseOsc.h"

namespace Lumora::DSP::OSC {

constinit SharedXorAddGenerator NoiseOsc::generator;

void NoiseOsc::process(float* out, unsigned n, float)
{
    if (n == 0)
        return;
    generator.draw([&](XorAddGenerator& g) {
        for (unsigned i = 0; i < n; ++i)
            out[i] = g.next();
    });
}

void NoiseOsc::restart(float) {}

} // namespace Lumora::DSP::OSC
