#pragma once

#include "synthesis/dsp/filter/OnePoleLowPass.h"

namespace Lumora::DSP::Filter {

// The input minus its one-pole low pass: out = x - y.
class OnePoleHighPass : public OnePoleLowPass {
public:
    OnePoleHighPass() = default;
    ~OnePoleHighPass() override = default;

    void process(float* out, const float* in, unsigned n) override;
};

} // namespace Lumora::DSP::Filter
