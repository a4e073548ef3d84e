#pragma once

#include "synthesis/dsp/delay/SingleDelay.h"

namespace Lumora::DSP {

// A Schroeder all-pass whose feedback value is the all-pass gain g:
// v = in + g y, out = y - g v. Interpolation on, limit 1, g 0.5 at construction.
class AllPassFilter_PositiveFdbk : public SingleDelay {
public:
    explicit AllPassFilter_PositiveFdbk(SAMPLE_SIZE_TYPE sizeType);
    void process(float* out, const float* in, unsigned frames) override;
};

} // namespace Lumora::DSP
