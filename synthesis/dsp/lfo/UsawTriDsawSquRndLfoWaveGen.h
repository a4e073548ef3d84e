#pragma once

#include "synthesis/dsp/lfo/UsawTriDsawPlsLfoWaveGen.h"

#include <cstdint>

namespace Lumora::DSP {

// As UsawTriDsawPls up to shape 0.75 (with a square in place of the 0.9 pulse), then a square
// that crossfades into a random level drawn anew at every half cycle.
class UsawTriDsawSquRndLfoWaveGen : public UsawTriDsawPlsLfoWaveGen {
public:
    UsawTriDsawSquRndLfoWaveGen();
    float waveValue(float cycle, float phase, float shape) override;
    bool pure() const override { return false; }

    float randomLevel() const { return random_; }

private:
    std::uint32_t lastHalf_ = 0xFFFFFFFFu;
    float random_ = -1.0f;
};

} // namespace Lumora::DSP
