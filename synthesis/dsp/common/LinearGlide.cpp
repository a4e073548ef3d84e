#include "synthesis/dsp/common/LinearGlide.h"

#include <cmath>

namespace Lumora::DSP {

void LinearGlide::retarget(float target, unsigned frames)
{
    if (!std::isfinite(target))
        return;
    if (unset_ || frames == 0) {
        unset_ = false;
        value_ = target_ = target;
        remaining_ = 0;
        return;
    }
    if (target == target_)
        return;
    target_ = target;
    remaining_ = frames;
    step_ = (target - value_) / static_cast<float>(frames);
}

float LinearGlide::advance(unsigned n)
{
    if (remaining_ == 0)
        return value_;
    if (n >= remaining_) {
        // The line ends exactly on the target, not on an accumulated approximation of it.
        remaining_ = 0;
        value_ = target_;
    } else {
        remaining_ -= n;
        value_ = target_ - step_ * static_cast<float>(remaining_);
    }
    return value_;
}

} // namespace Lumora::DSP
