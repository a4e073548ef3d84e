#include "synthesis/dsp/delay/MultiTapDelay.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"

#include <algorithm>

namespace Lumora::DSP {

MultiTapDelay::MultiTapDelay(SAMPLE_SIZE_TYPE sizeType, unsigned tapCount, iFeedbackFx* fx)
    : FeedbackFxDelay(sizeType, fx)
    , tapTargets_(tapCount, 0.5f)
    , tapCurrents_(tapCount, -1.0f)
    , tapSteps_(tapCount, 0.0f)
{
}

void MultiTapDelay::reset()
{
    FeedbackFxDelay::reset();
    std::fill(tapCurrents_.begin(), tapCurrents_.end(), -1.0f);
}

void MultiTapDelay::feed(const float* in, unsigned frames)
{
    FeedbackFxDelay::feed(in, frames);
    if (!interpolation_ || frames == 0)
        return;
    // Each tap ends where a processed block's would, whose float steps do not sum to the distance
    // exactly: addRepeatedly gives what stepping sample by sample gives. A tap at its target adds
    // nothing.
    for (unsigned t = 0; t < tapCount(); ++t) {
        float current = startOf(t);
        const float step = (tapTargets_[t] - current) / static_cast<float>(frames);
        if (step != 0.0f)
            current = DelayMath::addRepeatedly(current, step, frames);
        tapCurrents_[t] = DelayMath::limit(current, minFraction(), 1.0f);
    }
}

void MultiTapDelay::process(float* out, float** tapOutputs, const float* in, unsigned frames)
{
    if (frames == 0)
        return;
    ScopedFlushDenormals noDenormals;
    const unsigned taps = tapCount();
    const float size = static_cast<float>(size_);
    for (unsigned t = 0; t < taps; ++t) {
        const float current = tapCurrents_[t] < 0.0f ? tapTargets_[t] : tapCurrents_[t];
        tapCurrents_[t] = current;
        tapSteps_[t] = (tapTargets_[t] - current) / static_cast<float>(frames);
    }
    const float* buffer = buffer_.data();
    const std::uint32_t mask = mask_;
    auto readTaps = [&](unsigned i, std::uint32_t w) {
        for (unsigned t = 0; t < taps; ++t) {
            float y;
            if (interpolation_) {
                y = DelayMath::readInterpolated(buffer, mask, w, tapCurrents_[t] * size);
                tapCurrents_[t] += tapSteps_[t];
            } else {
                y = buffer[(w - static_cast<std::uint32_t>(tapTargets_[t] * size)) & mask];
            }
            if (tapOutputs != nullptr && tapOutputs[t] != nullptr)
                tapOutputs[t][i] = y;
        }
    };

    const float g = DelayMath::loopGain(feedback_);
    iFeedbackFx* fx = fx_;
    runBlock(frames, [&](unsigned i, float y, std::uint32_t w) {
        readTaps(i, w);
        const float x = in[i];
        const float shaped = fx != nullptr ? fx->process(y) : y;
        out[i] = shaped;
        return x + g * shaped;
    });
    // The taps keep where their glide reached; for the float steps that is the target.
    for (unsigned t = 0; t < taps; ++t)
        tapCurrents_[t] = DelayMath::limit(tapCurrents_[t], minFraction(), 1.0f);

    // A NaN or infinity that reached any output restarts the line from silence (see SingleDelay).
    bool finite = DelayMath::allFinite(out, frames);
    for (unsigned t = 0; t < taps && finite; ++t)
        if (tapOutputs != nullptr && tapOutputs[t] != nullptr)
            finite = DelayMath::allFinite(tapOutputs[t], frames);
    if (!finite) {
        reset();
        std::fill(out, out + frames, 0.0f);
        for (unsigned t = 0; t < taps; ++t)
            if (tapOutputs != nullptr && tapOutputs[t] != nullptr)
                std::fill(tapOutputs[t], tapOutputs[t] + frames, 0.0f);
    }
}

} // namespace Lumora::DSP
