#pragma once

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/osc/Oversample.h"
#include "synthesis/dsp/osc/iOsc.h"

#include <vector>

namespace Lumora::DSP::OSC {

// A carrier whose phase is modulated by a modulator running at ratio times the carrier's frequency.
// The peak phase deviation is N * index^2 cycles; the depth glides across a block from the last
// block's index. The owner writes index and ratio directly and calls setFrequency(frequency()) after
// changing the ratio.
template <class Carrier, class Modulator, int N>
class tFmOsc : public iCycleOsc {
public:
    tFmOsc() = default;
    ~tFmOsc() override = default;

    void reserve(unsigned maxFrames)
    {
        growBuffer(modulation, maxFrames);
        reserveFrames(carrier, maxFrames);
        reserveFrames(modulator, maxFrames);
    }

    void process(float* out, unsigned n, float sampleRate) override
    {
        if (index == 0.0f && previousIndex == 0.0f) {
            carrier.process(out, n, sampleRate);
            previousIndex = index;
            return;
        }
        float* mod = growBuffer(modulation, n);
        modulator.process(mod, n, sampleRate);
        const float from = float(N) * previousIndex * previousIndex;
        const float to = float(N) * index * index;
        if (n == 1)
            mod[0] *= to;
        else if (n > 1)
            Platform::Vdsp::rampMultiply(mod, from, (to - from) / float(n), mod, n);
        carrier.process(out, mod, n, sampleRate);
        previousIndex = index;
    }

    void restart(float phase) override
    {
        carrier.restart(phase);
        modulator.restart(phase);
    }
    float frequency() const override { return carrier.frequency(); }
    void setFrequency(float f) override
    {
        carrier.setFrequency(f);
        modulator.setFrequency(ratio * f);
    }
    float syncFrequency() const override { return carrier.syncFrequency(); }
    // The modulator never follows the sync.
    void setSyncFrequency(float s) override
    {
        carrier.setSyncFrequency(s);
        modulator.setSyncFrequency(0.0f);
    }
    float shiftPhase() const override { return carrier.shiftPhase(); }
    void setShiftPhase(float p) override
    {
        carrier.setShiftPhase(p);
        modulator.setShiftPhase(p);
    }

    std::vector<float> modulation;
    float index = 0.5f;
    float previousIndex = 0.5f;
    float ratio = 1.0f;
    Carrier carrier;
    Modulator modulator;
};

} // namespace Lumora::DSP::OSC
