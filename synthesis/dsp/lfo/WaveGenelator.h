#pragma once

#include "synthesis/dsp/lfo/LFO.h"

#include <utility>

namespace Lumora::DSP {

// One LFO wave shape. phase is in cycles, [0, 1); shape bends the wave (its meaning per type).
class LFO::WaveGenelator {
public:
    WaveGenelator(WAVEFORM_TYPE type, bool ramp);
    virtual ~WaveGenelator();

    // Renders n samples from phase on, increment cycles per sample (out may be null) and answers
    // the levels at the first and last sample.
    virtual std::pair<float, float> process(float* out, unsigned n, float shape, float cycle, float phase,
                                            float increment);
    virtual float waveValue(float cycle, float phase, float shape) = 0;
    // The level process would answer for the last of n samples, without the first. Only for a
    // generator whose levels depend on nothing but their arguments (see pure()).
    float endLevel(unsigned n, float shape, float cycle, float phase, float increment);
    // The level process would answer for the first sample.
    float startLevel(float shape, float cycle, float phase);
    // True when waveValue keeps no state, so that leaving out a call changes no later level.
    virtual bool pure() const { return true; }

    WAVEFORM_TYPE type() const { return type_; }
    bool ramp() const { return ramp_; }

private:
    WAVEFORM_TYPE type_;
    bool ramp_;
};

} // namespace Lumora::DSP
