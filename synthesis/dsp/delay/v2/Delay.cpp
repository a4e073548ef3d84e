#include "synthesis/dsp/delay/v2/Delay.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/delay/DelayMath.h"
#include "synthesis/dsp/delay/v2/DelayImplementation.h"

#include <algorithm>

namespace Lumora::DSPv2 {

Delay::Delay(SAMPLE_SIZE_TYPE sizeType, iFdbkFx* fx, bool interpolation, float limit)
    : impl_(std::make_unique<Implementation>(sizeType, fx, interpolation, limit))
{
}

Delay::~Delay() = default;

void Delay::reset()
{
    impl_->reset();
}

void Delay::process(float* out, const float* in, unsigned frames)
{
    DSP::ScopedFlushDenormals noDenormals;
    impl_->process(out, in, frames);
    // A NaN or infinity that reached the output would circulate for good: start again from
    // silence and mute the block.
    if (!DSP::DelayMath::allFinite(out, frames)) {
        impl_->reset();
        std::fill(out, out + frames, 0.0f);
    }
}

void Delay::idle(unsigned frames)
{
    DSP::ScopedFlushDenormals noDenormals;
    impl_->idle(frames);
}

// A sample rate or time of 0, negative or NaN gives the shortest delay, one sample.
void Delay::setDelayTimeBySecond(float seconds, float sampleRate)
{
    const float samples = DSP::DelayMath::limit(seconds * sampleRate, 0.0f, static_cast<float>(impl_->size()));
    impl_->setFraction(samples / static_cast<float>(impl_->size()));
}

void Delay::setDelayTimeBySamples(unsigned samples)
{
    impl_->setFraction(static_cast<float>(samples) / static_cast<float>(impl_->size()));
}

void Delay::setFeedBack(float feedback)
{
    impl_->setFeedBack(feedback);
}

void Delay::setFeedForward(float feedForward)
{
    impl_->setFeedForward(feedForward);
}

void Delay::setSettings_bySample(unsigned samples, float feedback, float feedForward)
{
    setDelayTimeBySamples(samples);
    impl_->setFeedBack(feedback);
    impl_->setFeedForward(feedForward);
}

} // namespace Lumora::DSPv2
