#pragma once

#include "synthesis/dsp/osc/Oversample.h"
#include "synthesis/dsp/osc/iOsc.h"
#include "synthesis/dsp/shaper/Crossfader.h"

#include <vector>

namespace Lumora::DSP::OSC {

// Crossfades a plain wave and an FM path (curve 1.5). Paths that cannot be heard are not rendered:
// mix <= 0 plays the plain wave only, mix >= 1 the FM path only, once the crossfade has glided there
// (a mix that jumps to an end still fades the other path out across one block). The owner writes mix
// directly.
template <class Plain, class Fm>
class tMixOsc : public iCycleOsc {
public:
    static constexpr float kCurve = 1.5f;

    tMixOsc() = default;
    ~tMixOsc() override = default;

    void reserve(unsigned maxFrames)
    {
        growBuffer(plainBuffer, maxFrames);
        growBuffer(fmBuffer, maxFrames);
        reserveFrames(plain, maxFrames);
        reserveFrames(fm, maxFrames);
    }

    void process(float* out, unsigned n, float sampleRate) override
    {
        if (!(mix > 0.0f) && !(crossfader.lastWeightB() > 0.0f)) { // also NaN
            settleAt(0.0f);
            plain.process(out, n, sampleRate);
            return;
        }
        if (mix >= 1.0f && !(crossfader.lastWeightA() > 0.0f)) {
            settleAt(1.0f);
            fm.process(out, n, sampleRate);
            return;
        }
        float* p = growBuffer(plainBuffer, n);
        float* f = growBuffer(fmBuffer, n);
        plain.process(p, n, sampleRate);
        fm.process(f, n, sampleRate);
        crossfader.process(out, p, f, n, mix, kCurve);
    }

    // process() for a block that follows one with the same mix and no restart since. Inline, for
    // the owner's short blocks: the plain wave alone, as the usual block plays, is decided here.
    [[gnu::always_inline]] void processUnchanged(float* out, unsigned n, float sampleRate)
    {
        if (unchangedPlain()) {
            plain.process(out, n, sampleRate);
            return;
        }
        process(out, n, sampleRate);
    }

    // The plain wave, where processUnchanged() would play it alone; else null.
    Plain* unchangedPlain()
    {
        const bool alone = !(mix > 0.0f) && !(crossfader.lastWeightB() > 0.0f) && !(crossfader.lastWeightA() < 0.0f);
        return alone ? &plain : nullptr;
    }

    // process() in two stages where the FM path has them (tOverSampledOsc): render() does everything
    // up to the FM path's decimation and answers whether it is left to do (fm.pendingDecimation());
    // once it is done, finish() with the same arguments completes the block. Otherwise render() writes
    // out at once.
    bool render(float* out, unsigned n, float sampleRate)
        requires requires(Fm& osc, float* buffer) { osc.render(buffer, 1u, 1.0f); }
    {
        if (!(mix > 0.0f) && !(crossfader.lastWeightB() > 0.0f)) { // also NaN
            settleAt(0.0f);
            plain.process(out, n, sampleRate);
            return false;
        }
        if (mix >= 1.0f && !(crossfader.lastWeightA() > 0.0f)) {
            settleAt(1.0f);
            fmOnly_ = true;
            return fm.render(out, n, sampleRate);
        }
        fmOnly_ = false;
        float* p = growBuffer(plainBuffer, n);
        float* f = growBuffer(fmBuffer, n);
        plain.process(p, n, sampleRate);
        if (fm.render(f, n, sampleRate))
            return true;
        crossfader.process(out, p, f, n, mix, kCurve);
        return false;
    }
    void finish(float* out, unsigned n)
    {
        if (!fmOnly_)
            crossfader.process(out, plainBuffer.data(), fmBuffer.data(), n, mix, kCurve);
    }

    void restart(float phase) override
    {
        plain.restart(phase);
        fm.restart(phase);
        crossfader.reset();
    }
    float frequency() const override { return plain.frequency(); }
    void setFrequency(float f) override
    {
        plain.setFrequency(f);
        fm.setFrequency(f);
    }
    float syncFrequency() const override { return plain.syncFrequency(); }
    void setSyncFrequency(float s) override
    {
        plain.setSyncFrequency(s);
        fm.setSyncFrequency(s);
    }
    float shiftPhase() const override { return plain.shiftPhase(); }
    void setShiftPhase(float p) override
    {
        plain.setShiftPhase(p);
        fm.setShiftPhase(p);
    }

    float mix = 0.0f;
    Plain plain;
    Fm fm;
    std::vector<float> plainBuffer;
    std::vector<float> fmBuffer;
    Crossfader crossfader;

private:
    // Whether the block render() began plays the FM path alone.
    bool fmOnly_ = false;

    // An unset crossfade (after restart) takes the weights of the end being played, so that a later
    // crossfaded block glides away from what was heard.
    void settleAt(float end)
    {
        if (crossfader.lastWeightA() < 0.0f)
            crossfader.process(nullptr, nullptr, nullptr, 0, end, kCurve);
    }
};

} // namespace Lumora::DSP::OSC
