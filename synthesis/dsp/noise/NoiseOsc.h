#pragma once

#include "synthesis/dsp/noise/XorAddGenerator.h"
#include "synthesis/dsp/osc/iOsc.h"

namespace Lumora::DSP::OSC {

// White noise in [-1, 1) from a process-wide generator of its own, shared by every NoiseOsc.
class NoiseOsc : public iOsc {
public:
    ~NoiseOsc() override = default;

    // The sample rate is not used.
    void process(float* out, unsigned n, float sampleRate) override;
    // Does nothing: the generator runs on.
    void restart(float phase) override;

    static SharedXorAddGenerator generator;
};

} // namespace Lumora::DSP::OSC
