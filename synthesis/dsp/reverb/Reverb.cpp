#include "synthesis/dsp/reverb/Reverb.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/reverb/ReverbImplementation.h"

namespace Lumora::DSPv2 {

Reverb::Reverb(unsigned abilities)
    : impl_(std::make_unique<Implementation>(abilities))
{
}

Reverb::~Reverb() = default;

void Reverb::process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate)
{
    DSP::ScopedFlushDenormals noDenormals;
    impl_->process(outL, outR, inL, inR, frames, sampleRate, param);
}

void Reverb::reset()
{
    impl_->reset();
}

} // namespace Lumora::DSPv2
