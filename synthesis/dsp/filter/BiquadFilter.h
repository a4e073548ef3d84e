#pragma once

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/filter/iFilter.h"

namespace Lumora::DSP::Filter {

// Second-order recursive filter with the audio-EQ cookbook low-pass and band-pass designs or free
// coefficients. A new filter passes its input unchanged (b0 = 1). Designs may change every block;
// the signal history carries over so a moving cutoff stays smooth. Allocates nothing.
class BiquadFilter : public iFilter {
public:
    BiquadFilter() = default;
    ~BiquadFilter() override = default;

    // Clears both histories, keeps the coefficients.
    void reset() override;
    // y[i] = b0 x[i] + b1 x[i-1] + b2 x[i-2] - a1 y[i-1] - a2 y[i-2]; out may be in.
    void process(float* out, const float* in, unsigned n) override;
    // The low-pass design.
    void setParam(float frequency, float q) override;

    // Stores b0/a0, b1/a0, b2/a0, a1/a0, a2/a0 (a0 of 0 or not finite leaves the coefficients alone).
    void setBiquadParam(float b0, float b1, float b2, float a0, float a1, float a2);
    // Low pass at the normalized frequency (designed at 0.99 of it, so never at the Nyquist frequency),
    // resonance q in [0, 1] giving Q = 20 q^2 + 0.7.
    void setLpfParam(float frequency, float q);
    // Band pass with unit gain at the centre.
    void setBpfParam(float frequency, float q);

    const Platform::Vdsp::BiquadCoefficients& coefficients() const { return c_; }

private:
    struct Design {
        float cosw, alpha, a0;
    };
    static Design design(float frequency, float q);

    Platform::Vdsp::BiquadCoefficients c_;
    Platform::Vdsp::BiquadHistory h_;
};

} // namespace Lumora::DSP::Filter
