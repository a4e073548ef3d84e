#include "synthesis/dsp/filter/BiquadFilter.h"

#include <cmath>

namespace Lumora::DSP::Filter {

namespace {
constexpr float kPi = 3.14159265358979f;
// The design never reaches the Nyquist frequency: 0.99 pi at most.
constexpr float kMaxOmega = 3.1101768f;
// Below this normalized frequency the design is held: at f = 0 the cookbook formulas give a double
// pole at z = 1, which would hold any DC offset for good.
constexpr float kMinFrequency = 1.0e-4f;
} // namespace

void BiquadFilter::reset()
{
    h_.reset();
    s1_ = s2_ = 0.0f;
}

void BiquadFilter::process(float* out, const float* in, unsigned n)
{
    if (n == 0)
        return;
    if (mode_ == Mode::Direct) {
        Platform::Vdsp::biquad(c_, h_, in, out, n);
        // A NaN or infinite input would otherwise ring in the history for good.
        if (!std::isfinite(h_.y1) || !std::isfinite(h_.y2) || !std::isfinite(h_.x1) || !std::isfinite(h_.x2)) {
            h_.reset();
            Platform::Vdsp::clear(out, n);
        }
        return;
    }
    processStateVariable(out, in, n);
}

// Trapezoidal (zero-delay feedback) state-variable filter:
//   v3 = x - s2, v1 = a1 s1 + a2 v3, v2 = s2 + a2 s1 + a3 v3, s1 = 2 v1 - s1, s2 = 2 v2 - s2,
// with a1 = 1 / (1 + g (g + k)), a2 = g a1, a3 = g a2; v2 is the low pass, k v1 the unit-gain band pass.
void BiquadFilter::processStateVariable(float* out, const float* in, unsigned n)
{
    const float a1 = 1.0f / (1.0f + g_ * (g_ + k_));
    const float a2 = g_ * a1;
    const float a3 = g_ * a2;
    // Locals, since out may alias the members as far as the compiler knows.
    const float k = k_;
    const bool lowPass = mode_ == Mode::LowPass;
    float s1 = s1_, s2 = s2_;
    for (unsigned i = 0; i < n; ++i) {
        const float v3 = in[i] - s2;
        const float v1 = a1 * s1 + a2 * v3;
        const float v2 = s2 + a2 * s1 + a3 * v3;
        s1 = 2.0f * v1 - s1;
        s2 = 2.0f * v2 - s2;
        out[i] = lowPass ? v2 : k * v1;
    }
    if (!std::isfinite(s1) || !std::isfinite(s2)) {
        s1 = s2 = 0.0f;
        Platform::Vdsp::clear(out, n);
    }
    s1_ = s1;
    s2_ = s2;
}

void BiquadFilter::setParam(float frequency, float q)
{
    setLpfParam(frequency, q);
}

void BiquadFilter::setBiquadParam(float b0, float b1, float b2, float a0, float a1, float a2)
{
    if (a0 == 0.0f || !std::isfinite(a0))
        return;
    if (mode_ != Mode::Direct) {
        mode_ = Mode::Direct;
        h_.reset();
    }
    c_.b0 = b0 / a0;
    c_.b1 = b1 / a0;
    c_.b2 = b2 / a0;
    c_.a1 = a1 / a0;
    c_.a2 = a2 / a0;
}

BiquadFilter::Design BiquadFilter::design(float frequency, float q)
{
    const float f = frequency > kMinFrequency ? frequency : kMinFrequency; // NaN too
    const float w = f > 1.0f ? kMaxOmega : f * 0.99f * kPi;
    const float r = q > 1.0f ? 1.0f : (q > 0.0f ? q : 0.0f);
    const float Q = 20.0f * r * r + 0.7f;
    const float alpha = std::sin(w) / (2.0f * Q);
    return {w, std::cos(w), alpha, 1.0f + alpha, Q};
}

void BiquadFilter::setDesign(Mode mode, const Design& d)
{
    if (mode_ == Mode::Direct) {
        s1_ = s2_ = 0.0f;
    }
    mode_ = mode;
    g_ = std::tan(d.w * 0.5f);
    k_ = 1.0f / d.Q;
}

void BiquadFilter::setLpfParam(float frequency, float q)
{
    const Design d = design(frequency, q);
    const float oneMinusCos = 1.0f - d.cosw;
    c_.b0 = oneMinusCos * 0.5f / d.a0;
    c_.b1 = oneMinusCos / d.a0;
    c_.b2 = c_.b0;
    c_.a1 = -2.0f * d.cosw / d.a0;
    c_.a2 = (1.0f - d.alpha) / d.a0;
    setDesign(Mode::LowPass, d);
}

void BiquadFilter::setBpfParam(float frequency, float q)
{
    const Design d = design(frequency, q);
    c_.b0 = d.alpha / d.a0;
    c_.b1 = 0.0f;
    c_.b2 = -d.alpha / d.a0;
    c_.a1 = -2.0f * d.cosw / d.a0;
    c_.a2 = (1.0f - d.alpha) / d.a0;
    setDesign(Mode::BandPass, d);
}

} // namespace Lumora::DSP::Filter
