#pragma once

#include <limits>

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

    // Whether groups of four samples may run as lanes through AVX2 (the same operations in the same
    // order, so the same bits), where the processor has it; on by default. Answers whether the
    // lanes are now in use. For tests.
    static bool allowWideSteps(bool allowed);

private:
    // The pole's powers R, R^2, R^3, R^4 for the sample rate and cutoff they were worked out for
    // (NaN until the first block): most blocks ask for the same ones.
    void updatePowers(float sampleRate, float cutoff);
    // process() with the groups of four samples as lanes.
    void processWide(float* out, const float* in, unsigned n);
    void finish(float* out, const float* in, unsigned i, unsigned n, float x1, float y1);

    float x1_ = 0.0f;
    float y1_ = 0.0f;
    float powersSampleRate_ = std::numeric_limits<float>::quiet_NaN();
    float powersCutoff_ = std::numeric_limits<float>::quiet_NaN();
    float powers_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

} // namespace Lumora::DSP
