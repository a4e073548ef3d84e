#pragma once

#include "synthesis/dsp/osc/iOsc.h"

#include <map>

namespace Lumora::DSP::OSC {

// An oscillator steered by a map of shaping values that the owner sets and the object reads at
// every block; a missing key reads as 0.
class iWaveShapingOsc : public iCycleOsc {
public:
    ~iWaveShapingOsc() override = default;

    std::map<int, float> shapingValues;

    float shapingValue(int key) const
    {
        auto it = shapingValues.find(key);
        return it == shapingValues.end() ? 0.0f : it->second;
    }
};

} // namespace Lumora::DSP::OSC
