#include "synthesis/dsp/delay/v2/MultiTapDelay.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/delay/v2/MultiTapDelayImplementation.h"

namespace Lumora::DSPv2 {

MultiTapDelay::MultiTapDelay(SAMPLE_SIZE_TYPE sizeType, unsigned tapCount)
    : impl_(std::make_unique<Implementation>(sizeType, tapCount))
{
}

MultiTapDelay::~MultiTapDelay() = default;

void MultiTapDelay::reset()
{
    impl_->reset();
}

void MultiTapDelay::process(float* out, const float* in, unsigned frames)
{
    DSP::ScopedFlushDenormals noDenormals;
    impl_->processSum(out, in, frames);
}

// Pointers past the vector's end count as null, so a short vector cannot be read beyond.
void MultiTapDelay::process(const std::vector<float*>& tapOutputs, const float* in, unsigned frames)
{
    DSP::ScopedFlushDenormals noDenormals;
    const std::size_t count = impl_->taps().size();
    if (tapOutputs.size() >= count) {
        impl_->process(tapOutputs.data(), in, frames);
        return;
    }
    std::vector<float*> padded(count, nullptr); // only for a caller that passes too few outputs
    std::copy(tapOutputs.begin(), tapOutputs.end(), padded.begin());
    impl_->process(padded.data(), in, frames);
}

void MultiTapDelay::process(float** tapOutputs, const float* in, unsigned frames)
{
    DSP::ScopedFlushDenormals noDenormals;
    impl_->process(tapOutputs, in, frames);
}

void MultiTapDelay::idle(unsigned frames)
{
    DSP::ScopedFlushDenormals noDenormals;
    impl_->idle(frames);
}

void MultiTapDelay::setTapSettings_bySamples(unsigned tap, unsigned samples, float feedback, float level)
{
    impl_->setTap(tap, samples, feedback, level);
}

} // namespace Lumora::DSPv2
