#include "synthesis/dsp/shaper/Amplifier.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/shaper/EqualPower.h"
#include "synthesis/dsp/shaper/Ramp.h"

namespace Lumora::DSP {

void Amplifier::reset()
{
    first_ = true;
}

void Amplifier::process(float* out, const float* in, unsigned n, float gain)
{
    gain = EqualPower::finiteGain(gain);
    if (first_) {
        last_ = gain;
        first_ = false;
    }
    if (last_ == gain) {
        if (gain == 0.0f)
            Platform::Vdsp::clear(out, n);
        else
            Platform::Vdsp::scale(in, gain, out, n);
    } else if (n > 0) {
        Ramp::multiply(in, Ramp::start(last_, gain, n), Ramp::exclusiveStep(last_, gain, n), out, n);
    }
    last_ = gain;
}

} // namespace Lumora::DSP
