#pragma once

#include "synthesis/dsp/delay/FeedbackFxDelay.h"
#include "synthesis/dsp/delay/LpfFeedbackFx.h"

namespace Lumora::DSP {

// A feedback delay whose echoes lose their highs: its own low pass sits in the loop.
class HiDampDelay : public FeedbackFxDelay {
public:
    explicit HiDampDelay(SAMPLE_SIZE_TYPE sizeType);

    LpfFeedbackFx& damping() { return lpf_; }

private:
    LpfFeedbackFx lpf_;
};

} // namespace Lumora::DSP
