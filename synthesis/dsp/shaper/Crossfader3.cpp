#include "synthesis/dsp/shaper/Crossfader3.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/shaper/EqualPower.h"
#include "synthesis/dsp/shaper/Ramp.h"

namespace Lumora::DSP {

void Crossfader3::reset()
{
    last_[0] = last_[1] = last_[2] = -1.0f;
}

void Crossfader3::updateWeights(float p, float curve)
{
    weightsPosition_ = p;
    weightsCurve_ = curve;
    float* w = weights_;
    if (p <= 0.5f) {
        const float q = 2.0f * p;
        w[0] = EqualPower::weight(1.0f - q, curve);
        w[1] = EqualPower::weight(q, curve);
        w[2] = 0.0f;
    } else {
        const float q = 2.0f * p - 1.0f;
        w[0] = 0.0f;
        w[1] = EqualPower::weight(1.0f - q, curve);
        w[2] = EqualPower::weight(q, curve);
    }
}

void Crossfader3::process(float* out, const float* a, const float* b, const float* c, unsigned n, float position,
                          float curve)
{
    prepareWeights(EqualPower::limitPosition(position), curve);
    const float* w = weights_;

    // The usual block: one input alone at a weight that stands still, a plain product (the ramp
    // below would start on that weight with a step of 0).
    const int sole = steadySoleInput();
    if (n > 0 && sole >= 0) {
        const float* inputs[3] = {a, b, c};
        Platform::Vdsp::scale(inputs[sole], w[sole], out, n);
    } else if (n > 0) {
        const float* inputs[3] = {a, b, c};
        bool part[3];
        for (int k = 0; k < 3; ++k)
            part[k] = last_[k] > 0.0f && w[k] > 0.0f;
        // The first input written must be the one out overwrites (if it takes part at all).
        int order[3] = {0, 1, 2};
        for (int k = 0; k < 3; ++k)
            if (inputs[k] == out) {
                order[0] = k;
                order[k] = 0;
                break;
            }
        bool written = false;
        for (int k : order) {
            if (!part[k])
                continue;
            const float from = Ramp::start(last_[k], w[k], n), step = Ramp::inclusiveStep(last_[k], w[k], n);
            if (written)
                Ramp::multiplyAdd(inputs[k], from, step, out, n);
            else
                Ramp::multiply(inputs[k], from, step, out, n);
            written = true;
        }
        if (!written)
            Platform::Vdsp::clear(out, n);
    }
    for (int k = 0; k < 3; ++k)
        last_[k] = w[k];
}

} // namespace Lumora::DSP
