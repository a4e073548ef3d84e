#include "synthesis/dsp/lfo/SmootherWaveGen.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSP {

SmootherWaveGen::SmootherWaveGen(LFO::WAVEFORM_TYPE type)
    : WaveGenelator(type, false)
    , smoother_(static_cast<float>(1.0 - std::exp(-3.14159265358979323846)), 0.0f)
{
}

// The stepped generators hold one level (the span's end level) over the whole span. Without a
// buffer the smoother is advanced in closed form over those n equal samples, so that these shapes
// can run buffer-less like the others.
std::pair<float, float> SmootherWaveGen::process(float* out, unsigned n, float shape, float cycle, float phase,
                                                 float increment)
{
    const auto [start, end] = WaveGenelator::process(out, n, shape, cycle, phase, increment);
    if (!(shape > 0.0f) || n == 0)
        return out != nullptr ? std::pair{start, end} : std::pair{end, end};
    const double c = std::clamp(1.0 - std::exp(-2.0 * 3.14159265358979323846 * static_cast<double>(shape)), 0.0, 1.0);
    smoother_.setCoefficient(static_cast<float>(c));
    double y = smoother_.value();
    if (out == nullptr) {
        const double x = end;
        const double first = x * (1.0 - c) + c * y;
        y = x + (y - x) * std::pow(c, static_cast<double>(n));
        smoother_.setValue(static_cast<float>(y));
        return {static_cast<float>(first), static_cast<float>(y)};
    }
    for (unsigned i = 0; i < n; ++i) {
        y = out[i] * (1.0 - c) + c * y;
        out[i] = static_cast<float>(y);
    }
    smoother_.setValue(static_cast<float>(y));
    return {out[0], out[n - 1]};
}

} // namespace Lumora::DSP
