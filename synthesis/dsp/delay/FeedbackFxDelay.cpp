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
    runBlock(frames, [&](unsigned i, float y, std::uint32_t) {
        const float x = in[i];
        const float shaped = fx.process(y);
        out[i] = shaped;
        return x + g * shaped;
    });
    recoverFromNonFinite(out, frames);
}

} // namespace Lumora::DSP
