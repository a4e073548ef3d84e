#include "synthesis/voice/effects/Chorus.h"

#include "engine/clock/Clock.h"
#include "platform/vdsp/Vdsp.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {

constexpr float kShortestWavelength = 0.2f;
constexpr float kMaxWet = 0.8f;
constexpr float kCrossfadeCurve = 1.5f;

} // namespace

Chorus::Chorus() : delay_(SAMPLE_SIZE_2048, 2, &damping_)
{
    damping_.lpf().set(0.5f, 0.75f);
    delay_.setInterpolation(true, 1.0f);
}

void Chorus::reserve(unsigned maxFrames, float)
{
    grow(main_, maxFrames);
    grow(tap0_, maxFrames);
    grow(tap1_, maxFrames);
    grow(dry_, maxFrames);
}

void Chorus::reset()
{
    delay_.reset();
    crossfaderL_.reset();
    crossfaderR_.reset();
    for (DSP::LFO& lfo : lfos_)
        lfo.restart();
}

bool Chorus::publishReadbacks(Parameters::Chorus& p)
{
    return rateOutput_.publish(p.lfo.output);
}

void Chorus::runLfos(unsigned frames, float sampleRate, const Clock& clock, const Parameters::Chorus& p)
{
    const float wavelength = rateWavelength(unit(p.lfo.rate), kShortestWavelength);
    // The side taps run ahead of and behind the main sweep by half the spread p, 0.1 .. 1.
    const float s = unit(p.spread);
    const float spread = 0.9f * s * s * s + 0.1f;
    const float shifts[3] = {0.0f, 0.5f * spread, -0.5f * spread};
    for (unsigned i = 0; i < lfos_.size(); ++i) {
        lfos_[i].setWavelength(wavelength);
        lfos_[i].setPhaseShift(shifts[i]);
        lfos_[i].process(nullptr, frames, sampleRate, 0.0f, clock.sampleTime());
    }
}

void Chorus::setReadPoints(const Parameters::Chorus& p)
{
    const float d = unit(p.depth);
    const float m = d * d * d * 0.8f;
    // The sweep runs from base (LFO at 1) down to base (1 - m) (LFO at 0).
    const float base = 0.9f * p.fixedTime + 0.1f;
    auto point = [&](const DSP::LFO& lfo) { return base * (1.0f - m + m * lfo.level()); };
    delay_.setDelayTime(point(lfos_[0]));
    delay_.setTapTime(0, point(lfos_[1]));
    delay_.setTapTime(1, point(lfos_[2]));
    // 2f / (1 + f^2) stays below 1 for any f; 0.98 keeps the loop from ringing forever.
    const float f = p.fixedFeedback;
    delay_.setFeedback(2.0f * f / (1.0f + f * f) * 0.98f);
}

void Chorus::process(float* outL, float* outR, const float* in, unsigned frames, float sampleRate,
                     const Clock& clock, const Parameters::Chorus& p, unsigned, AudioQuality)
{
    if (!p.enabled || !isUsableSampleRate(sampleRate)) {
        passThrough(outL, outR, in, in, frames);
        return;
    }
    runLfos(frames, sampleRate, clock, p);
    rateOutput_.store(lfos_[0].level());
    setReadPoints(p);

    float* main = grow(main_, frames);
    float* tap0 = grow(tap0_, frames);
    float* tap1 = grow(tap1_, frames);
    float* taps[2] = {tap0, tap1};
    delay_.process(main, taps, in, frames);
    Platform::Vdsp::add(main, tap0, tap0, frames);
    Platform::Vdsp::add(main, tap1, tap1, frames);

    // The left crossfade may overwrite the input that the right one still needs.
    const float* dry = in;
    if (outL == in || outR == in) {
        dry = grow(dry_, frames);
        Platform::Vdsp::copy(in, dry_.data(), frames);
    }
    const float wet = unit(p.wet) * kMaxWet;
    crossfaderL_.process(outL, dry, tap0, frames, wet, kCrossfadeCurve);
    crossfaderR_.process(outR, dry, tap1, frames, wet, kCrossfadeCurve);
}

} // namespace Lumora::Corvane::Module
