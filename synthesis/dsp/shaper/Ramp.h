#pragma once

#include "platform/vdsp/Vdsp.h"

namespace Lumora::DSP::Ramp {

// The per-sample step of a gain ramp from `from` to `to` over n samples. Inclusive ramps end exactly
// on `to`; exclusive ones stop one step short. A block of one sample is a jump to `to` either way,
// which the callers handle by starting there (see start()).
inline float inclusiveStep(float from, float to, unsigned n)
{
    return n > 1 ? (to - from) / float(n - 1) : 0.0f;
}
inline float exclusiveStep(float from, float to, unsigned n)
{
    return n > 1 ? (to - from) / float(n) : 0.0f;
}
// The first gain of a ramp: a single-sample block gets the target.
inline float start(float from, float to, unsigned n)
{
    return n == 1 ? to : from;
}

// A gain's inclusive ramp across one block: from the last block's gain to this one's, then
// remembered as the last. A negative last gain is unset and starts the ramp at the target.
struct Glide {
    float from;
    float step;
};
inline Glide inclusiveGlide(float& last, float target, unsigned n)
{
    if (last < 0.0f)
        last = target;
    const Glide glide{start(last, target, n), inclusiveStep(last, target, n)};
    last = target;
    return glide;
}

// dst = src * ramp; dst may be src.
inline void multiply(const float* src, float from, float step, float* dst, unsigned n)
{
    if (step == 0.0f)
        Platform::Vdsp::scale(src, from, dst, n);
    else
        Platform::Vdsp::rampMultiply(src, from, step, dst, n);
}

// dst += src * ramp.
inline void multiplyAdd(const float* src, float from, float step, float* dst, unsigned n)
{
    if (step == 0.0f)
        Platform::Vdsp::scaleAdd(src, from, dst, dst, n);
    else
        Platform::Vdsp::rampMultiplyAdd(src, from, step, dst, n);
}

} // namespace Lumora::DSP::Ramp
