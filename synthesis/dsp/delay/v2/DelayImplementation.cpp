#include "synthesis/dsp/delay/v2/DelayImplementation.h"

#include "synthesis/dsp/delay/DelayMath.h"

#include <algorithm>

namespace Lumora::DSPv2 {

using DSP::DelayMath::limit;

Delay::Implementation::Implementation(SAMPLE_SIZE_TYPE sizeType, iFdbkFx* fx, bool interpolation, float limitValue)
    : size_(sampleSizeOf(sizeType))
    , mask_(size_ - 1)
    , buffer_(size_, 0.0f)
    , interpolation_(interpolation)
    , limit_(limit(limitValue, 0.0f, 1.0f))
    , fx_(fx)
{
}

Delay::Implementation::~Implementation() = default;

void Delay::Implementation::reset()
{
    std::fill_n(buffer_.begin(), written_, 0.0f);
    written_ = 0;
    write_ = 0;
    current_ = -1.0f;
    if (fx_ != nullptr)
        fx_->reset();
}

void Delay::Implementation::setFraction(float fraction)
{
    target_ = limit(fraction, 1.0f / static_cast<float>(size_), 1.0f);
}

void Delay::Implementation::setFeedBack(float feedback)
{
    feedback_ = limit(feedback, -1.0f, 1.0f);
}

void Delay::Implementation::setFeedForward(float feedForward)
{
    feedForward_ = limit(feedForward, -1.0f, 1.0f);
}

// The loop is compiled with and without the effect, so that a line without one tests for it once
// per block rather than per sample.
template <class Read>
void Delay::Implementation::run(float* out, const float* in, unsigned frames, Read&& read)
{
    if (fx_ != nullptr)
        runWith<true>(out, in, frames, read);
    else
        runWith<false>(out, in, frames, read);
}

template <bool kFx, class Read>
void Delay::Implementation::runWith(float* out, const float* in, unsigned frames, Read& read)
{
    const float g = DSP::DelayMath::loopGain(feedback_);
    const float ff = feedForward_;
    float* buffer = buffer_.data();
    const std::uint32_t mask = mask_;
    std::uint32_t w = write_;
    for (unsigned i = 0; i < frames; ++i, ++w) {
        float y = read(buffer, w);
        if constexpr (kFx)
            y = fx_->process(y);
        const float s = in[i] + g * y;
        buffer[w & mask] = s;
        out[i] = y + ff * s;
    }
    written_ = frames >= size_ - written_ ? size_ : written_ + frames;
    write_ = w & mask;
}

void Delay::Implementation::process(float* out, const float* in, unsigned frames)
{
    if (frames == 0)
        return;
    if (!interpolation_) {
        const auto delay = static_cast<std::uint32_t>(target_ * static_cast<float>(size_));
        run(out, in, frames, [&](const float* buffer, std::uint32_t w) { return buffer[(w - delay) & mask_]; });
        return;
    }
    const float size = static_cast<float>(size_);
    float current = current_ < 0.0f ? target_ : limit(current_, 1.0f / size, 1.0f);
    const float step = (target_ - current) / static_cast<float>(frames);
    run(out, in, frames, [&](const float* buffer, std::uint32_t w) {
        const float y = DSP::DelayMath::readInterpolated(buffer, mask_, w, current * size, limit_);
        current += step;
        return y;
    });
    current_ = target_;
}

// Over zeros every read is 0: the effect is fed zeros and the time ends on its target.
void Delay::Implementation::idle(unsigned frames)
{
    if (frames == 0)
        return;
    if (fx_ != nullptr)
        for (unsigned i = 0; i < frames; ++i)
            fx_->process(0.0f);
    if (interpolation_)
        current_ = target_;
}

} // namespace Lumora::DSPv2
