#pragma once

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/filter/BiquadFilter.h"
#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/osc/Oversample.h"
#include "synthesis/dsp/osc/iWaveShapingOsc.h"
#include "synthesis/dsp/shaper/Ramp.h"

#include <cmath>
#include <concepts>
#include <vector>

namespace Lumora::DSP::OSC {

// Three copies of T: voice 0 at the frequency, voices 1 and 2 half the detune (shaping value 0, in
// semitones) above and below it. While the detune is 0 only voice 0 runs. Where the detune leaves 0
// (or returns to it) voices 1 and 2 fade in (or out) over 10 ms and voice 0 moves between its two
// levels alongside, so that neither is a step, over the same samples at every block size.
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
        sides_.setTarget(shapingValue(0) != 0.0f ? 1.0f : 0.0f, fadeFrames(sampleRate));
        if (!sides_.gliding() && sides_.value() == 0.0f) {
            voices[0].process(out, n, sampleRate);
            return;
        }
        float* b[3];
        for (int v = 0; v < 3; ++v)
            b[v] = growBuffer(buffers[v], n);
        renderVoices(b, n, sampleRate);
        if (!sides_.gliding()) {
            Platform::Vdsp::add(b[0], b[1], out, n);
            Platform::Vdsp::add(out, b[2], out, n);
            Platform::Vdsp::scale(out, 0.5f, out, n);
            return;
        }
        fade(out, b, n);
    }

    // process() for a block that follows one rendered by process() (or by this) with no shaping value
    // changed and no restart since: the fade's target is the one that block set, so that only where
    // the fade has ended does the block differ from process().
    void processUnchanged(float* out, unsigned n, float sampleRate)
    {
        if (n != 0 && !sides_.gliding() && sides_.value() == 0.0f) {
            if constexpr (requires { voices[0].processUnchanged(out, n, sampleRate); })
                voices[0].processUnchanged(out, n, sampleRate);
            else
                voices[0].process(out, n, sampleRate);
            return;
        }
        process(out, n, sampleRate);
    }

    // The voice processUnchanged() would hand the block to alone, its fade ended at 0; else null.
    T* unchangedSole() { return !sides_.gliding() && sides_.value() == 0.0f ? &voices[0] : nullptr; }

    // The next block takes its detune at once, without a fade.
    void restart(float phase) override
    {
        for (auto& v : voices)
            v.restart(phase);
        sides_.snapNext();
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
    // The length of the outer voices' fade: the same 10 ms whatever the block size.
    static constexpr float kFadeSeconds = 0.01f;

    static unsigned fadeFrames(float sampleRate)
    {
        const float frames = kFadeSeconds * sampleRate;
        if (!(frames > 1.0f))
            return 1;
        return frames < 1.0e6f ? static_cast<unsigned>(frames + 0.5f) : 1000000u;
    }

    // Renders the three voices, each into its buffer. Voices that render in two stages (tMixOsc over
    // tOverSampledOsc) have their decimators run together, which gives the same samples in less time.
    void renderVoices(float* const b[3], unsigned n, float sampleRate)
    {
        if constexpr (requires(T& osc) {
                          { osc.render(b[0], n, sampleRate) } -> std::same_as<bool>;
                          osc.finish(b[0], n);
                          osc.fm.pendingDecimation();
                      }) {
            bool pending[3];
            Filter::BiquadFilter::DecimationJob jobs[3];
            unsigned count = 0;
            for (int v = 0; v < 3; ++v) {
                pending[v] = voices[v].render(b[v], n, sampleRate);
                if (pending[v])
                    jobs[count++] = voices[v].fm.pendingDecimation();
            }
            Filter::BiquadFilter::decimateTogether(jobs, count);
            for (int v = 0; v < 3; ++v)
                if (pending[v])
                    voices[v].finish(b[v], n);
        } else {
            for (int v = 0; v < 3; ++v)
                voices[v].process(b[v], n, sampleRate);
        }
    }

    // Mixes a block rendered while the outer voices fade. At share s of the fade the centre sounds
    // at 1 - s / 2 and each outer voice at s / 2: one voice at 1 at one end, three at 0.5 at the
    // other. Sample i takes the share the fade reaches after i + 1 samples; past the fade's end the
    // share stands.
    void fade(float* out, float* const b[3], unsigned n)
    {
        Platform::Vdsp::add(b[1], b[2], b[1], n);
        const float from = sides_.value();
        const unsigned k = n < sides_.remaining() ? n : sides_.remaining();
        const float reached = sides_.advance(k);
        const float step = (reached - from) / static_cast<float>(k);
        const float first = from + step;
        Ramp::multiply(b[0], 1.0f - 0.5f * first, -0.5f * step, out, k);
        Ramp::multiplyAdd(b[1], 0.5f * first, 0.5f * step, out, k);
        if (k == n)
            return;
        Platform::Vdsp::scale(b[0] + k, 1.0f - 0.5f * reached, out + k, n - k);
        Platform::Vdsp::scaleAdd(b[1] + k, 0.5f * reached, out + k, out + k, n - k);
    }

    // How far the outer voices are faded in: 0 while the detune is 0, 1 while it is not.
    LinearGlide sides_;
    // The half detune the factors 2^(d / 12) and 2^(-d / 12) were worked out for (none yet).
    float factorsDetune_ = NAN;
    float upFactor_ = 1.0f;
    float downFactor_ = 1.0f;
};

} // namespace Lumora::DSP::OSC
