#include "synthesis/dsp/delay/FeedbackFxDelay.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"

namespace Lumora::DSP {

FeedbackFxDelay::FeedbackFxDelay(SAMPLE_SIZE_TYPE sizeType, iFeedbackFx* fx)
    : SingleDelay(sizeType, true, 1.0f)
    , fx_(fx)
{
}

void FeedbackFxDelay::reset()
{
    SingleDelay::reset();
    if (fx_ != nullptr)
        fx_->reset();
}

void FeedbackFxDelay::process(float* out, const float* in, unsigned frames)
{
    if (fx_ == nullptr) {
        SingleDelay::process(out, in, frames);
        return;
    }
    ScopedFlushDenormals noDenormals;
    const float g = DelayMath::loopGain(feedback_);
    iFeedbackFx& fx = *fx_;
    // An effect that passes samples through is left out of the loop rather than called per sample.
    if (fx.isThrough()) {
        runBlock(frames, [&](unsigned i, float y, std::uint32_t) {
            const float x = in[i];
            out[i] = y;
            return x + g * y;
        });
        recoverFromNonFinite(out, frames);
        return;
    }
    runBlock(frames, [&](unsigned i, float y, std::uint32_t) {
        const float x = in[i];
        const float shaped = fx.process(y);
        out[i] = shaped;
        return x + g * shaped;
    });
    recoverFromNonFinite(out, frames);
}

void FeedbackFxDelay::primeFeedbackFx(unsigned samples)
{
    if (fx_ == nullptr)
        return;
    fx_->reset();
    const float* buffer = buffer_.data();
    const float size = static_cast<float>(size_);
    const float current = current_ < 0.0f ? target_ : DelayMath::limit(current_, minFraction(), 1.0f);
    const auto delay = static_cast<std::uint32_t>(target_ * size);
    // Frame j samples ago read `delay` samples behind its own write index; the ring wraps by mask.
    for (std::uint32_t j = samples; j > 0; --j) {
        const std::uint32_t w = write_ - j;
        const float y = interpolation_ ? DelayMath::readInterpolated(buffer, mask_, w, current * size, limit_)
                                       : buffer[(w - delay) & mask_];
        fx_->process(y);
    }
}

} // namespace Lumora::DSP
