#include "synthesis/dsp/shaper/StereoAmp.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/shaper/EqualPower.h"
#include "synthesis/dsp/shaper/Ramp.h"

#include <cmath>

namespace Lumora::DSP {

void StereoAmp::reset()
{
    last_ = -1.0f;
}

void StereoAmp::process(float* outL, float* outR, const float* inL, const float* inR, unsigned n, float gain,
                        float rampFraction, float rampShape)
{
    gain = EqualPower::finiteGain(gain);
    if (!std::isfinite(rampShape))
        rampShape = 0.0f;
    if (last_ < 0.0f)
        last_ = gain;
    if (last_ == gain) {
        Platform::Vdsp::scale(inL, gain, outL, n);
        Platform::Vdsp::scale(inR, gain, outR, n);
    } else if (n > 0) {
        const float fraction = rampFraction > 1.0f ? 1.0f : (rampFraction > 0.0f ? rampFraction : 0.0f);
        if (fraction == 0.0f) {
            const float from = Ramp::start(last_, gain, n);
            const float step = Ramp::exclusiveStep(last_, gain, n);
            Ramp::multiply(inL, from, step, outL, n);
            Ramp::multiply(inR, from, step, outR, n);
        } else {
            // Two inclusive segments: to mid over m samples, then to gain over the rest.
            const unsigned m = unsigned(float(n) * fraction);
            const float mid = last_ + (gain - last_) * rampShape;
            const unsigned rest = n - m;
            if (m > 0) {
                const float from = Ramp::start(last_, mid, m);
                const float step = Ramp::inclusiveStep(last_, mid, m);
                Ramp::multiply(inL, from, step, outL, m);
                Ramp::multiply(inR, from, step, outR, m);
            }
            if (rest > 0) {
                const float from = Ramp::start(mid, gain, rest);
                const float step = Ramp::inclusiveStep(mid, gain, rest);
                Ramp::multiply(inL + m, from, step, outL + m, rest);
                Ramp::multiply(inR + m, from, step, outR + m, rest);
            }
        }
    }
    last_ = gain;
}

} // namespace Lumora::DSP
