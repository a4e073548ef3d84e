#include "synthesis/dsp/delay/HiDampStereoDelay.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"

#include <cmath>

namespace Lumora::DSP {

HiDampStereoDelay::HiDampStereoDelay(SAMPLE_SIZE_TYPE sizeType)
    : StereoDelay(sizeType)
{
}

void HiDampStereoDelay::reset()
{
    StereoDelay::reset();
    lpfL_.reset();
    lpfR_.reset();
}

void HiDampStereoDelay::setHiDamp(int channel, float damping)
{
    if (channel != 0 && channel != 1)
        return;
    const float c = 1.0f - damping;
    const float a = 1.0f - c * std::fabs(c);
    (channel == 0 ? lpfL_ : lpfR_).set(c, a);
}

void HiDampStereoDelay::process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames)
{
    ScopedFlushDenormals noDenormals;
    runBlock(outL, outR, inL, inR, frames, [this](float& yL, float& yR) {
        yL = lpfL_.process(yL);
        yR = lpfR_.process(yR);
    });
    recoverFromNonFinite(outL, outR, frames);
}

} // namespace Lumora::DSP
