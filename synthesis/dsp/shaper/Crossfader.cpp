#include "synthesis/dsp/shaper/Crossfader.h"

#include "synthesis/dsp/shaper/EqualPower.h"
#include "synthesis/dsp/shaper/Ramp.h"

namespace Lumora::DSP {

void Crossfader::reset()
{
    lastA_ = lastB_ = -1.0f;
}

void Crossfader::process(float* out, const float* a, const float* b, unsigned n, float position, float curve)
{
    process(out, a, b, n, position, 1.0f, 1.0f, curve);
}

void Crossfader::process(float* out, const float* a, const float* b, unsigned n, float position, float gainA,
                         float gainB, float curve)
{
    const float p = EqualPower::limitPosition(position);
    const float wA = EqualPower::finiteGain(gainA * EqualPower::weight(1.0f - p, curve));
    const float wB = EqualPower::finiteGain(gainB * EqualPower::weight(p, curve));
    if (lastA_ < 0.0f)
        lastA_ = wA;
    if (lastB_ < 0.0f)
        lastB_ = wB;
    if (n > 0) {
        const float fromA = Ramp::start(lastA_, wA, n), stepA = Ramp::inclusiveStep(lastA_, wA, n);
        const float fromB = Ramp::start(lastB_, wB, n), stepB = Ramp::inclusiveStep(lastB_, wB, n);
        // Write the input that out overwrites first, so that in-place use reads every input intact.
        if (out == a) {
            Ramp::multiply(a, fromA, stepA, out, n);
            Ramp::multiplyAdd(b, fromB, stepB, out, n);
        } else {
            Ramp::multiply(b, fromB, stepB, out, n);
            Ramp::multiplyAdd(a, fromA, stepA, out, n);
        }
    }
    lastA_ = wA;
    lastB_ = wB;
}

} // namespace Lumora::DSP
