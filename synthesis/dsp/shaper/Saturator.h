#pragma once

namespace Lumora::DSP {

// Soft saturation y = 2x / (1 + x^2): slope 2 at 0, peak 1 at x = 1, falling back beyond.
// Used in place (out == in) the square is taken of the doubled sample, so the curve becomes
// y = 2x / (1 + 4x^2), peaking at 0.5 for x = 0.5; the drive stage of the saturator module relies
// on that second curve.
class Saturator {
public:
    void process(float* out, const float* in, unsigned n);
};

} // namespace Lumora::DSP
