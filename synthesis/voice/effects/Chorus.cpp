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
// The line's low pass forgets its past by 0.75 a sample: 128 samples leave 1e-16 of it.
constexpr unsigned kDampingMemory = 128;

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
    resting_ = false;
    delay_.reset();
    crossfaderL_.reset();
    crossfaderR_.reset();
    wet_.snapNext();
    for (DSP::LFO& lfo : lfos_)
        lfo.restart();
}

bool Chorus::publishReadbacks(Parameters::Chorus& p)
{
    return rateOutput_.publish(p.lfo.output);
}

// The LFOs' wavelength and phase shifts and the line's feedback are set here only: each stays in
// force until the settings move.
void Chorus::followSettings(float sampleRate, const Parameters::Chorus& p)
{
    const float rate = p.lfo.rate.normalizedValue();
    const float spreadSetting = p.spread.normalizedValue();
    const float depth = p.depth.normalizedValue();
    const float wet = p.wet.normalizedValue();
    if (!settingsKey_.changed({rate, spreadSetting, depth, p.fixedTime, p.fixedFeedback, wet, sampleRate}))
        return;
    const float wavelength = rateWavelength(clamp01(rate), kShortestWavelength);
    // The side taps run ahead of and behind the main sweep by half the spread p, 0.1 .. 1.
    const float s = clamp01(spreadSetting);
    const float spread = 0.9f * s * s * s + 0.1f;
    const float shifts[3] = {0.0f, 0.5f * spread, -0.5f * spread};
    for (unsigned i = 0; i < lfos_.size(); ++i) {
        lfos_[i].setWavelength(wavelength);
        lfos_[i].setPhaseShift(shifts[i]);
    }
    const float d = clamp01(depth);
    depth_ = d * d * d * 0.8f;
    undepth_ = 1.0f - depth_;
    // The sweep runs from base (LFO at 1) down to base (1 - m) (LFO at 0).
    base_ = 0.9f * p.fixedTime + 0.1f;
    // 2f / (1 + f^2) stays below 1 for any f; 0.98 keeps the loop from ringing forever.
    const float f = p.fixedFeedback;
    delay_.setFeedback(2.0f * f / (1.0f + f * f) * 0.98f);
    wetAmount_ = clamp01(wet) * kMaxWet;
    glideFrames_ = glideFrames(sampleRate);
}

void Chorus::runLfos(unsigned frames, float sampleRate, const Clock& clock)
{
    // The sweep reads each LFO at the block's start only. The three share a wavelength and the
    // clock, so they move in step.
    DSP::LFO::advanceToStart(lfos_, frames, sampleRate, 0.0f, clock.sampleTime());
}

void Chorus::setReadPoints()
{
    auto point = [&](const DSP::LFO& lfo) { return base_ * (undepth_ + depth_ * lfo.level()); };
    delay_.setDelayTime(point(lfos_[0]));
    delay_.setTapTime(0, point(lfos_[1]));
    delay_.setTapTime(1, point(lfos_[2]));
}

// At wet 0 the crossfades weigh the chorus signal by nothing once they have glided there (an
// unset crossfade takes its weight at once). Without feedback the line holds nothing but its
// input, so writing the input keeps it exactly as a running line and it can wake at any block.
bool Chorus::canRest(const Parameters::Chorus& p, float wet) const
{
    auto settled = [](const DSP::Crossfader& c) { return !(c.lastWeightB() > 0.0f); };
    return restAllowed_ && !(wet > 0.0f) && p.fixedFeedback == 0.0f && settled(crossfaderL_) &&
           settled(crossfaderR_);
}

float Chorus::prepareBlock(unsigned frames, float sampleRate, const Clock& clock, const Parameters::Chorus& p)
{
    followSettings(sampleRate, p);
    runLfos(frames, sampleRate, clock);
    rateOutput_.store(lfos_[0].level());
    setReadPoints();
    wet_.setTarget(wetAmount_, glideFrames_);
    return wetAmount_;
}

// Over a line of zeros the taps read zeros and the damping low pass stays at rest, so writing
// the silent input (which moves the glides as a processed block does) and letting the crossfades
// end on their weights leaves the chorus as process would.
void Chorus::idle(const float* in, unsigned frames, float sampleRate, const Clock& clock, const Parameters::Chorus& p)
{
    if (!p.enabled || !isUsableSampleRate(sampleRate))
        return;
    const float wet = prepareBlock(frames, sampleRate, clock, p);
    resting_ = canRest(p, wet);
    delay_.feed(in, frames);
    const float reached = wet_.advance(frames);
    crossfaderL_.process(nullptr, nullptr, nullptr, 0, reached, kCrossfadeCurve);
    crossfaderR_.process(nullptr, nullptr, nullptr, 0, reached, kCrossfadeCurve);
    // Nothing has been heard, so there is nothing to glide from: the next setting is taken at
    // once (the crossfades still ramp over the block from their last weights).
    wet_.snapNext();
}

void Chorus::process(float* outL, float* outR, const float* in, unsigned frames, float sampleRate,
                     const Clock& clock, const Parameters::Chorus& p, unsigned, AudioQuality)
{
    if (!p.enabled || !isUsableSampleRate(sampleRate)) {
        passThrough(outL, outR, in, in, frames);
        return;
    }
    const float wet = prepareBlock(frames, sampleRate, clock, p);
    const bool rest = canRest(p, wet);
    // Crossfades standing on the dry signal alone pass it scaled by 1 and do not read the chorus;
    // in place they would change neither it nor themselves.
    const float standing = wet_.value();
    const bool dryOnly = !wet_.gliding() && crossfaderL_.passesA(standing, kCrossfadeCurve) &&
                         crossfaderR_.passesA(standing, kCrossfadeCurve);
    float* main = grow(main_, frames);
    float* tap0 = grow(tap0_, frames);
    float* tap1 = grow(tap1_, frames);
    if (rest) {
        delay_.feed(in, frames);
        if (!dryOnly) {
            Platform::Vdsp::clear(tap0, frames);
            Platform::Vdsp::clear(tap1, frames);
        }
    } else {
        // Waking: the line's low pass has missed the samples read while resting.
        if (resting_)
            delay_.primeFeedbackFx(kDampingMemory);
        float* taps[2] = {tap0, tap1};
        delay_.process(main, taps, in, frames);
        Platform::Vdsp::add(main, tap0, tap0, frames);
        Platform::Vdsp::add(main, tap1, tap1, frames);
    }
    resting_ = rest;

    // The right side is written first: the left may be the input.
    if (dryOnly) {
        Platform::Vdsp::scale(in, 1.0f, outR, frames);
        Platform::Vdsp::scale(in, 1.0f, outL, frames);
        return;
    }

    // The left crossfade may overwrite the input that the right one still needs.
    const float* dry = in;
    if (outL == in || outR == in) {
        dry = grow(dry_, frames);
        Platform::Vdsp::copy(in, dry_.data(), frames);
    }
    forEachGlideValue(wet_, frames, [&](unsigned at, unsigned length, float position) {
        crossfaderL_.process(outL + at, dry + at, tap0 + at, length, position, kCrossfadeCurve);
        crossfaderR_.process(outR + at, dry + at, tap1 + at, length, position, kCrossfadeCurve);
    });
}

} // namespace Lumora::Corvane::Module
