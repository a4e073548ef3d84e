#pragma once

#include "synthesis/dsp/delay/SingleDelay.h"
#include "synthesis/dsp/delay/iFeedbackFx.h"

namespace Lumora::DSP {

// A delay whose delayed signal passes an effect (not owned, may be null) before it is heard and
// fed back, so the effect shapes every echo. Interpolation on, limit 1.
class FeedbackFxDelay : public SingleDelay {
public:
    FeedbackFxDelay(SAMPLE_SIZE_TYPE sizeType, iFeedbackFx* fx);
    void reset() override;
    void process(float* out, const float* in, unsigned frames) override;
    // Restarts the effect and runs it over the last `samples` samples the line held at its current
    // delay time, so that after feed() its state is what it would have been had the line been
    // processed (to within its memory over that span).
    void primeFeedbackFx(unsigned samples);

    iFeedbackFx* feedbackFx() const { return fx_; }

protected:
    iFeedbackFx* fx_;
};

} // namespace Lumora::DSP
