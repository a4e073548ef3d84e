#include "synthesis/dsp/reverb/Reverb.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/delay/DelayMath.h"
#include "synthesis/dsp/reverb/ReverbImplementation.h"

#include <algorithm>

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
    // A NaN or infinity in the input (or anything that overflowed) would stay in the delay
    // lines for good: the reverb starts again from silence and the block is muted.
    if (!DSP::DelayMath::allFinite(outL, frames) || !DSP::DelayMath::allFinite(outR, frames)) {
        impl_->reset();
        std::fill(outL, outL + frames, 0.0f);
        std::fill(outR, outR + frames, 0.0f);
    }
}

void Reverb::idle(unsigned frames, float sampleRate)
{
    // The glides step under the same floating-point mode as in process.
    DSP::ScopedFlushDenormals noDenormals;
    impl_->idle(frames, sampleRate, param);
}

void Reverb::reset()
{
    impl_->reset();
}

bool Reverb::glidesHeld() const
{
    return impl_->late().glidesHeld();
}

} // namespace Lumora::DSPv2
