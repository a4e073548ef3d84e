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
    if (!(pan == gainsPan_ && curve == gainsCurve_)) {
        gainsPan_ = pan;
        gainsCurve_ = curve;
        gain1_ = EqualPower::weight(pan, curve);
        gain2_ = EqualPower::weight(1.0f - pan, curve);
    }
    const Ramp::Glide ramp1 = Ramp::inclusiveGlide(last1_, gain1_, n);
    const Ramp::Glide ramp2 = Ramp::inclusiveGlide(last2_, gain2_, n);
    if (n == 0)
        return;
    // The output that shares the input's buffer is written last.
    if (out1 == in) {
        Ramp::multiply(in, ramp2.from, ramp2.step, out2, n);
        Ramp::multiply(in, ramp1.from, ramp1.step, out1, n);
    } else {
        Ramp::multiply(in, ramp1.from, ramp1.step, out1, n);
        Ramp::multiply(in, ramp2.from, ramp2.step, out2, n);
    }
}

} // namespace Lumora::DSP
