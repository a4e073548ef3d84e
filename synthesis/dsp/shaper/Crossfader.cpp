#include "synthesis/dsp/shaper/Crossfader.h"

#include "synthesis/dsp/shaper/EqualPower.h"
#include "synthesis/dsp/shaper/Ramp.h"

namespace Lumora::DSP {

void Crossfader::reset()
{
    lastA_ = lastB_ = -1.0f;
}

bool Crossfader::ignoresB(float position) const
{
    return lastB_ == 0.0f && EqualPower::limitPosition(position) == 0.0f;
}

void Crossfader::process(float* out, const float* a, const float* b, unsigned n, float position, float curve)
{
    process(out, a, b, n, position, 1.0f, 1.0f, curve);
}

void Crossfader::weights(float position, float gainA, float gainB, float curve, float& wA, float& wB)
{
    if (!sameBits(position, cachedPosition_) || !sameBits(gainA, cachedGainA_) || !sameBits(gainB, cachedGainB_) ||
        !sameBits(curve, cachedCurve_)) {
        const float p = EqualPower::limitPosition(position);
        cachedWeightA_ = EqualPower::finiteGain(gainA * EqualPower::weight(1.0f - p, curve));
        cachedWeightB_ = EqualPower::finiteGain(gainB * EqualPower::weight(p, curve));
        cachedPosition_ = position;
        cachedGainA_ = gainA;
        cachedGainB_ = gainB;
        cachedCurve_ = curve;
    }
    wA = cachedWeightA_;
    wB = cachedWeightB_;
}

void Crossfader::process(float* out, const float* a, const float* b, unsigned n, float position, float gainA,
                         float gainB, float curve)
{
    float wA = 0.0f;
    float wB = 0.0f;
    weights(position, gainA, gainB, curve, wA, wB);
    const Ramp::Glide rampA = Ramp::inclusiveGlide(lastA_, wA, n);
    const Ramp::Glide rampB = Ramp::inclusiveGlide(lastB_, wB, n);
    if (n == 0)
        return;
    // An input held at weight 0 is not read at all.
    if (rampB.from == 0.0f && rampB.step == 0.0f) {
        if (out == a && rampA.from == 1.0f && rampA.step == 0.0f)
            return;
        Ramp::multiply(a, rampA.from, rampA.step, out, n);
        return;
    }
    if (rampA.from == 0.0f && rampA.step == 0.0f) {
        Ramp::multiply(b, rampB.from, rampB.step, out, n);
        return;
    }
    // Write the input that out overwrites first, so that in-place use reads every input intact.
    if (out == a) {
        Ramp::multiply(a, rampA.from, rampA.step, out, n);
        Ramp::multiplyAdd(b, rampB.from, rampB.step, out, n);
    } else {
        Ramp::multiply(b, rampB.from, rampB.step, out, n);
        Ramp::multiplyAdd(a, rampA.from, rampA.step, out, n);
    }
}

} // namespace Lumora::DSP
