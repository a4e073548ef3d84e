#include "synthesis/dsp/delay/AllPassFilter_PositiveFdbk.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"

namespace Lumora::DSP {

AllPassFilter_PositiveFdbk::AllPassFilter_PositiveFdbk(SAMPLE_SIZE_TYPE sizeType)
    : SingleDelay(sizeType, true, 1.0f)
{
}

void AllPassFilter_PositiveFdbk::process(float* out, const float* in, unsigned frames)
{
    ScopedFlushDenormals noDenormals;
    const float g = DelayMath::loopGain(feedback_);
    runBlock(frames, [&](unsigned i, float y, std::uint32_t) {
        const float v = in[i] + g * y;
        out[i] = y - g * v;
        return v;
    });
    recoverFromNonFinite(out, frames);
}

} // namespace Lumora::DSP
