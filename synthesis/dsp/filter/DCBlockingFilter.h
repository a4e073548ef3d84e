#pragma once

namespace Lumora::DSP {

// Removes DC: y = (x - x1) + R y1 with R = 1 - 2 pi cutoff / sampleRate.
class DCBlockingFilter {
public:
    DCBlockingFilter() = default;
    virtual ~DCBlockingFilter() = default;

    void reset();
    // out may be in. A block of 0 samples changes nothing.
    void process(float* out, const float* in, unsigned n, float sampleRate, float cutoff);

    // The pole R for a cutoff in Hz, limited to [0, 1] so that the recursion never grows;
    // an unknown sample rate gives 1 (no DC removal rather than a division by zero).
    static float coefficient(float sampleRate, float cutoff);

private:
    float x1_ = 0.0f;
    float y1_ = 0.0f;
};

} // namespace Lumora::DSP
