#include "synthesis/dsp/shaper/Panner.h"

#include "synthesis/dsp/shaper/EqualPower.h"
#include "synthesis/dsp/shaper/Ramp.h"

namespace Lumora::DSP {

void Panner::reset()
{
    last1_ = last2_ = -1.0f;
}

void Panner::process(float* out1, float* out2, const float* in, unsigned n, float pan, float curve)
{
    const float g1 = EqualPower::weight(pan, curve);
    const float g2 = EqualPower::weight(1.0f - pan, curve);
    if (last1_ < 0.0f)
        last1_ = g1;
    if (last2_ < 0.0f)
        last2_ = g2;
    if (n > 0) {
        const float from1 = Ramp::start(last1_, g1, n), step1 = Ramp::inclusiveStep(last1_, g1, n);
        const float from2 = Ramp::start(last2_, g2, n), step2 = Ramp::inclusiveStep(last2_, g2, n);
        // The output that shares the input's buffer is written last.
        if (out1 == in) {
            Ramp::multiply(in, from2, step2, out2, n);
            Ramp::multiply(in, from1, step1, out1, n);
        } else {
            Ramp::multiply(in, from1, step1, out1, n);
            Ramp::multiply(in, from2, step2, out2, n);
        }
    }
    last1_ = g1;
    last2_ = g2;
}

} // namespace Lumora::DSP
