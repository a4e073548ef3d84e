#pragma once

#include "synthesis/dsp/noise/iShapingNoise.h"

namespace Lumora::DSP::OSC {

// Clicks at random intervals of 1 to P samples over a background of white noise. Shaping value 0 (d)
// sets the density, P = trunc(8820 d^4 + 1), and the click level; value 1 is the background level.
// d = 0 gives plain white noise.
class GeigerNoise : public iShapingNoise {
public:
    ~GeigerNoise() override = default;

    void process(float* out, unsigned n, float sampleRate) override;
    // Also sets the sample counter to 0.
    void restart(float phase) override;

    static unsigned clickPeriod(float density);
};

} // namespace Lumora::DSP::OSC
