#pragma once

#include "synthesis/dsp/shaper/WaveShaper.h"

namespace Lumora::DSP {

// The curve 2u / (1 + u^2) in a table, its negative half scaled by k: an asymmetric saturation
// that adds even harmonics.
class AsymSaturator : public WaveShaper {
public:
    AsymSaturator(float k, unsigned N);
};

} // namespace Lumora::DSP
