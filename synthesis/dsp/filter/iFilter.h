#pragma once

namespace Lumora::DSP::Filter {

// A mono filter over blocks of samples. Frequencies are normalized (1 = the Nyquist frequency),
// resonance runs from 0 to 1; out and in may be the same buffer.
class iFilter {
public:
    virtual ~iFilter() = default;
    // Clears the signal state, keeps the design.
    virtual void reset() = 0;
    virtual void process(float* out, const float* in, unsigned n) = 0;
    virtual void setParam(float frequency, float q) = 0;
};

} // namespace Lumora::DSP::Filter
