#pragma once

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/osc/Oversample.h"
#include "synthesis/dsp/osc/iWaveShapingOsc.h"
#include "synthesis/dsp/shaper/Ramp.h"

#include <cmath>
#include <vector>

namespace Lumora::DSP::OSC {

// Three copies of T: voice 0 at the frequency, voices 1 and 2 half the detune (shaping value 0, in
// semitones) above and below it. While the detune is 0 only voice 0 runs. In the block where the
// detune leaves 0 (or returns to it) voices 1 and 2 fade in (or out) and voice 0 moves between its
// two levels across the block, so that neither is a step.
template <class T>
class tDetunedOsc : public iWaveShapingOsc {
public:
    tDetunedOsc() = default;
    ~tDetunedOsc() override = default;

    void reserve(unsigned maxFrames)
    {
        for (int v = 0; v < 3; ++v) {
            growBuffer(buffers[v], maxFrames);
            reserveFrames(voices[v], maxFrames);
        }
    }

    void process(float* out, unsigned n, float sampleRate) override
    {
        if (n == 0)
            return;
        const bool detuned = shapingValue(0) != 0.0f;
        const bool wasDetuned = sidesSounded_ < 0 ? detuned : sidesSounded_ != 0;
        sidesSounded_ = detuned ? 1 : 0;
        if (!detuned && !wasDetuned) {
            voices[0].process(out, n, sampleRate);
            return;
        }
        float* b[3];
        for (int v = 0; v < 3; ++v) {
            b[v] = growBuffer(buffers[v], n);
            voices[v].process(b[v], n, sampleRate);
        }
        if (detuned && wasDetuned) {
            Platform::Vdsp::add(b[0], b[1], out, n);
            Platform::Vdsp::add(out, b[2], out, n);
            Platform::Vdsp::scale(out, 0.5f, out, n);
            return;
        }
        // One voice at level 1 on one side of the switch, three at 0.5 on the other.
        const float centreFrom = wasDetuned ? 0.5f : 1.0f, centreTo = detuned ? 0.5f : 1.0f;
        const float sideFrom = wasDetuned ? 0.5f : 0.0f, sideTo = detuned ? 0.5f : 0.0f;
        Platform::Vdsp::add(b[1], b[2], b[1], n);
        Ramp::multiply(b[0], Ramp::start(centreFrom, centreTo, n), Ramp::inclusiveStep(centreFrom, centreTo, n), out,
                       n);
        Ramp::multiplyAdd(b[1], Ramp::start(sideFrom, sideTo, n), Ramp::inclusiveStep(sideFrom, sideTo, n), out, n);
    }

    // The next block takes its detune at once, without a fade.
    void restart(float phase) override
    {
        for (auto& v : voices)
            v.restart(phase);
        sidesSounded_ = -1;
    }
    float frequency() const override { return voices[0].frequency(); }
    void setFrequency(float f) override
    {
        const float d = 0.5f * shapingValue(0);
        // The detune is set every segment, mostly unchanged: its two factors are kept for it.
        if (!(d == factorsDetune_)) {
            factorsDetune_ = d;
            upFactor_ = std::exp2(d / 12.0f);
            downFactor_ = std::exp2(-d / 12.0f);
        }
        voices[0].setFrequency(f);
        voices[1].setFrequency(upFactor_ * f);
        voices[2].setFrequency(downFactor_ * f);
    }
    float syncFrequency() const override { return voices[0].syncFrequency(); }
    void setSyncFrequency(float s) override
    {
        for (auto& v : voices)
            v.setSyncFrequency(s);
    }
    float shiftPhase() const override { return voices[0].shiftPhase(); }
    void setShiftPhase(float p) override
    {
        for (auto& v : voices)
            v.setShiftPhase(p);
    }

    T voices[3];
    std::vector<float> buffers[3];

private:
    // Whether voices 1 and 2 sounded at the end of the last block; -1 after construction and restart.
    int sidesSounded_ = -1;
    // The half detune the factors 2^(d / 12) and 2^(-d / 12) were worked out for (none yet).
    float factorsDetune_ = NAN;
    float upFactor_ = 1.0f;
    float downFactor_ = 1.0f;
};

} // namespace Lumora::DSP::OSC
