#pragma once

#include "synthesis/dsp/lfo/SmootherWaveGen.h"

#include <vector>

namespace Lumora::DSP {

// Plays a list of step values, one per cycle (optionally smoothed); silent while the list is empty.
class StepSeqLfoWaveGen : public SmootherWaveGen {
public:
    StepSeqLfoWaveGen();
    float waveValue(float cycle, float phase, float shape) override;

    // Not for the render thread: the list is copied.
    void setSteps(const std::vector<float>& steps) { steps_ = steps; }
    const std::vector<float>& steps() const { return steps_; }

private:
    float lastCycle_ = 0.0f;
    float value_ = 0.0f;
    std::vector<float> steps_;
};

} // namespace Lumora::DSP
