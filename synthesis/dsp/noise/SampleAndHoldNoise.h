#pragma once

#include "synthesis/dsp/noise/iShapingNoise.h"

namespace Lumora::DSP::OSC {

// Random values from the shared generator, each held for a period set by shaping value 0:
// 2 samples at 0 up to 2001 at 1 (at 48 kHz; half as long at 96 kHz).
class SampleAndHoldNoise : public iShapingNoise {
public:
    ~SampleAndHoldNoise() override = default;

    void process(float* out, unsigned n, float sampleRate) override;

    // The hold period in samples for a shaping value at a sample rate.
    static unsigned holdPeriod(float shape, float sampleRate);
    float heldValue() const { return held_; }

private:
    float held_ = 0.0f;
};

} // namespace Lumora::DSP::OSC
