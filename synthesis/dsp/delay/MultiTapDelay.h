#pragma once

#include "synthesis/dsp/delay/FeedbackFxDelay.h"

#include <vector>

namespace Lumora::DSP {

// A feedback delay with extra read taps. The taps only listen: they do not feed back. With
// interpolation on, each tap glides to its new time across a block like the main line.
class MultiTapDelay : public FeedbackFxDelay {
public:
    MultiTapDelay(SAMPLE_SIZE_TYPE sizeType, unsigned tapCount, iFeedbackFx* fx);

    void reset() override;
    using FeedbackFxDelay::process;
    // out takes the main line; tapOutputs[t] (null entries skipped) takes tap t.
    virtual void process(float* out, float** tapOutputs, const float* in, unsigned frames);
    // As the line's feed(); the taps glide as in a processed block too.
    void feed(const float* in, unsigned frames) override;

    // fraction of the buffer; limited to [1/size, 1], so that a tap can never read outside the
    // buffer or from a NaN position. Indices past the last tap are ignored. Inline: a swept tap
    // is set every block.
    void setTapTime(unsigned tap, float fraction)
    {
        if (tap < tapCount())
            tapTargets_[tap] = DelayMath::limit(fraction, minFraction(), 1.0f);
    }
    unsigned tapCount() const { return static_cast<unsigned>(tapTargets_.size()); }
    float tapTime(unsigned tap) const { return tap < tapCount() ? tapTargets_[tap] : 0.0f; }

private:
    // Where a tap's glide starts: its last position, or its target before its first block.
    float startOf(unsigned tap) const { return tapCurrents_[tap] < 0.0f ? tapTargets_[tap] : tapCurrents_[tap]; }

    std::vector<float> tapTargets_;
    std::vector<float> tapCurrents_;
    std::vector<float> tapSteps_;
};

} // namespace Lumora::DSP
