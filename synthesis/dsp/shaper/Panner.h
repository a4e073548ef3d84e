#pragma once

#include <cmath>

namespace Lumora::DSP {

// Mono to two outputs: g1 = sin(pan pi/2)^curve, g2 = sin((1 - pan) pi/2)^curve, ramped (inclusively)
// across the block from the last block's gains. Pan 1 sends everything to out1, 0 to out2; the caller
// keeps pan within [0, 1]. out1 or out2 may be in.
class Panner {
public:
    void process(float* out1, float* out2, const float* in, unsigned n, float pan, float curve);
    void reset();

    float lastGain1() const { return last1_; }
    float lastGain2() const { return last2_; }

private:
    float last1_ = -1.0f; // unset
    float last2_ = -1.0f;
    // The gains of the last pan and curve: an unchanged block costs no sine or power.
    float gainsPan_ = NAN;
    float gainsCurve_ = NAN;
    float gain1_ = 0.0f;
    float gain2_ = 0.0f;
};

} // namespace Lumora::DSP
