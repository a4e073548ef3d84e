#pragma once

#include "synthesis/dsp/lfo/Smoother.h"
#include "synthesis/dsp/lfo/WaveGenelator.h"

namespace Lumora::DSP {

// A stepped generator whose steps can be smoothed: with shape above 0 the rendered steps pass a
// one-pole smoother of coefficient 1 - exp(-2 pi shape), carried from span to span.
class SmootherWaveGen : public LFO::WaveGenelator {
public:
    SmootherWaveGen(LFO::WAVEFORM_TYPE type);
    std::pair<float, float> process(float* out, unsigned n, float shape, float cycle, float phase,
                                    float increment) override;
    bool pure() const override { return false; }

    const Smoother<float>& smoother() const { return smoother_; }

private:
    Smoother<float> smoother_;
};

} // namespace Lumora::DSP
