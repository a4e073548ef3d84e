#pragma once

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/osc/Oversample.h"
#include "synthesis/dsp/osc/iWaveShapingOsc.h"

#include <cmath>
#include <vector>

namespace Lumora::DSP::OSC {

// Three copies of T: voice 0 at the frequency, voices 1 and 2 half the detune (shaping value 0, in
// semitones) above and below it. While the detune is 0 only voice 0 runs.
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
        if (shapingValue(0) == 0.0f) {
            voices[0].process(out, n, sampleRate);
            return;
        }
        float* b[3];
        for (int v = 0; v < 3; ++v) {
            b[v] = growBuffer(buffers[v], n);
            voices[v].process(b[v], n, sampleRate);
        }
        Platform::Vdsp::add(b[0], b[1], out, n);
        Platform::Vdsp::add(out, b[2], out, n);
        Platform::Vdsp::scale(out, 0.5f, out, n);
    }

    void restart(float phase) override
    {
        for (auto& v : voices)
            v.restart(phase);
    }
    float frequency() const override { return voices[0].frequency(); }
    void setFrequency(float f) override
    {
        const float d = 0.5f * shapingValue(0);
        voices[0].setFrequency(f);
        voices[1].setFrequency(std::exp2(d / 12.0f) * f);
        voices[2].setFrequency(std::exp2(-d / 12.0f) * f);
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
};

} // namespace Lumora::DSP::OSC
