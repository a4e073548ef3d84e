#pragma once

#include "synthesis/dsp/osc/iWaveShapingOsc.h"

#include <cstdint>

namespace Lumora::DSP::OSC {

// Base of the shaped noise sources. They keep frequency, phase, sync and phase shift only to serve
// the oscillator interface; rendering uses the shaping values and the sample counter.
class iShapingNoise : public iWaveShapingOsc {
public:
    ~iShapingNoise() override = default;

    void restart(float phase) override { phase_ = phase; }
    float frequency() const override { return frequency_; }
    void setFrequency(float frequency) override { frequency_ = frequency; }
    float syncFrequency() const override { return syncFrequency_; }
    void setSyncFrequency(float frequency) override { syncFrequency_ = frequency; }
    float shiftPhase() const override { return phaseShift_; }
    void setShiftPhase(float phase) override { phaseShift_ = phase; }

    float phase() const { return phase_; }
    std::uint32_t sampleCounter() const { return counter_; }

protected:
    float frequency_ = 0.0f;
    float phase_ = 0.0f;
    float syncFrequency_ = 0.0f;
    float phaseShift_ = 0.0f;
    std::uint32_t counter_ = 0;
};

} // namespace Lumora::DSP::OSC
