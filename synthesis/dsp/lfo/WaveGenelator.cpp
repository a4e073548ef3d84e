#include "synthesis/dsp/lfo/WaveGenelator.h"

#include "platform/vdsp/Vdsp.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSP {

LFO::WaveGenelator::WaveGenelator(WAVEFORM_TYPE type, bool ramp)
    : type_(type)
    , ramp_(ramp)
{
}

LFO::WaveGenelator::~WaveGenelator() = default;

// The level at the span's last sample is the wave at phase + increment (n - 1), carried into the
// next cycle when it passes 1.
std::pair<float, float> LFO::WaveGenelator::process(float* out, unsigned n, float shape, float cycle, float phase,
                                                    float increment)
{
    // Rounding at a wave's corners may step a hair outside [0, 1]; levels never do.
    const float start = startLevel(shape, cycle, phase);
    if (n == 0)
        return {start, start};
    const float end = endLevel(n, shape, cycle, phase, increment);
    if (out == nullptr)
        return {start, end};
    if (n == 1) {
        out[0] = end;
    } else if (ramp_) {
        Platform::Vdsp::rampInclusive(start, end, out, n);
        out[n - 1] = end;
        Platform::Vdsp::clip(out, 0.0f, 1.0f, out, n);
    } else {
        Platform::Vdsp::fill(end, out, n);
    }
    return {out[0], out[n - 1]};
}

float LFO::WaveGenelator::startLevel(float shape, float cycle, float phase)
{
    return std::clamp(waveValue(cycle, phase, shape), 0.0f, 1.0f);
}

float LFO::WaveGenelator::endLevel(unsigned n, float shape, float cycle, float phase, float increment)
{
    const float e = increment * static_cast<float>(n - 1) + phase;
    const float whole = std::trunc(e);
    return std::clamp(waveValue(cycle + whole, e - whole, shape), 0.0f, 1.0f);
}

} // namespace Lumora::DSP
