#include "synthesis/dsp/delay/HiDampDelay.h"

namespace Lumora::DSP {

HiDampDelay::HiDampDelay(SAMPLE_SIZE_TYPE sizeType)
    : FeedbackFxDelay(sizeType, nullptr)
{
    fx_ = &lpf_;
}

} // namespace Lumora::DSP
