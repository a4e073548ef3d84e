#pragma once

#include "synthesis/dsp/filter/BiquadFilter.h"
#include "synthesis/dsp/osc/Oversample.h"
#include "synthesis/dsp/osc/iOsc.h"

#include <cstdint>
#include <vector>

namespace Lumora::DSP::OSC {

// Renders the inner oscillator at 1, 2 or 4 times the sample rate, low-passes it at the output's
// Nyquist frequency and keeps one sample in F. The owner writes mode directly.
template <class T>
class tOverSampledOsc : public iCycleOsc {
public:
    tOverSampledOsc() = default;
    ~tOverSampledOsc() override = default;

    static unsigned factor(std::uint32_t mode) { return mode == OVERSAMPLE_NONE ? 1u : mode == OVERSAMPLE_2X ? 2u : 4u; }

    void reserve(unsigned maxFrames)
    {
        growBuffer(oversampled, std::size_t(maxFrames) * 4);
        reserveFrames(inner, maxFrames * 4);
    }

    void process(float* out, unsigned n, float sampleRate) override
    {
        if (render(out, n, sampleRate))
            decimator.processDecimated(out, oversampled.data(), n * factor(mode), factor(mode));
    }

    // process() in two stages, for owners that decimate several copies together: renders the inner
    // oscillator and answers whether the decimation into out is left to do (pendingDecimation(), valid
    // until the next call); without oversampling out is written at once.
    bool render(float* out, unsigned n, float sampleRate)
    {
        if (mode == OVERSAMPLE_NONE) {
            inner.process(out, n, sampleRate);
            return false;
        }
        const unsigned F = factor(mode);
        const unsigned total = n * F;
        float* buffer = growBuffer(oversampled, total);
        inner.process(buffer, total, sampleRate * float(F));
        decimator.setLpfParam(1.0f / float(F), 0.0f);
        pending_ = {&decimator, out, buffer, total, F};
        return true;
    }
    const Filter::BiquadFilter::DecimationJob& pendingDecimation() const { return pending_; }

    void restart(float phase) override { inner.restart(phase); }
    float frequency() const override { return inner.frequency(); }
    void setFrequency(float f) override { inner.setFrequency(f); }
    float syncFrequency() const override { return inner.syncFrequency(); }
    void setSyncFrequency(float s) override { inner.setSyncFrequency(s); }
    float shiftPhase() const override { return inner.shiftPhase(); }
    void setShiftPhase(float p) override { inner.setShiftPhase(p); }

    std::uint32_t mode = OVERSAMPLE_4X;
    std::vector<float> oversampled;
    T inner;
    Filter::BiquadFilter decimator;

private:
    Filter::BiquadFilter::DecimationJob pending_{};
};

} // namespace Lumora::DSP::OSC
