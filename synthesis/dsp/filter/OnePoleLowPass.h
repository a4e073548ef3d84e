#pragma once

#include "synthesis/dsp/filter/iFilter.h"

namespace Lumora::DSP::Filter {

// y = (1 - a) x + a y with a = exp(-pi f): a gentle 6 dB/octave low pass.
class OnePoleLowPass : public iFilter {
public:
    OnePoleLowPass() = default;
    ~OnePoleLowPass() override = default;

    void reset() override;
    void process(float* out, const float* in, unsigned n) override;
    // q is not used.
    void setParam(float frequency, float q) override;
    // f limited to [0, 1]; f = 0 gives a = 1, which holds the output at its current value.
    void setFrequency(float frequency);

    float coefficient() const { return a_; }
    float state() const { return y_; }

protected:
    float a_ = 0.043213918263772250f; // exp(-pi), the value for frequency 1
    float y_ = 0.0f;

private:
    // The frequency a_ was last worked out for.
    float designFrequency_ = 0.0f;
    bool designed_ = false;
};

} // namespace Lumora::DSP::Filter
