#include "synthesis/dsp/reverb/ReverbImplementation.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/reverb/ReverbMath.h"
#include "synthesis/dsp/reverb/ReverbPreFilter.h"

#include <cmath>

namespace Lumora::DSPv2 {

namespace {

// Work buffers are sized for blocks of this length up front; longer blocks grow them once.
constexpr std::size_t kReservedFrames = 4096;
constexpr float kSpeedOfSound = 340.0f;

// The parameter block is the owner's to keep in range; values that would poison the signal
// (NaN, infinities, negative sizes and times) are replaced here so that the output stays clean.
Reverb::Parameters sanitized(const Reverb::Parameters& p)
{
    using ReverbMath::finiteOr;
    Reverb::Parameters s;
    s.preHighPass = finiteOr(p.preHighPass, 0.0f);
    s.preLowPass = finiteOr(p.preLowPass, 1.0f);
    s.preDelay = finiteOr(p.preDelay, 0.0f);
    s.roomSize = std::fmax(finiteOr(p.roomSize, 0.0f), 0.0f);
    s.decayTime = std::fmax(finiteOr(p.decayTime, 0.0f), 0.0f);
    s.stereoWidth = finiteOr(p.stereoWidth, 1.0f);
    s.lateBrightness = std::fmin(std::fmax(finiteOr(p.lateBrightness, 0.5f), 0.0f), 1.0f);
    s.dryLevel = finiteOr(p.dryLevel, 0.0f);
    s.earlyLevel = finiteOr(p.earlyLevel, 0.0f);
    s.earlyHighPass = finiteOr(p.earlyHighPass, 0.0f);
    s.earlyLowPass = finiteOr(p.earlyLowPass, 1.0f);
    s.lateLevel = finiteOr(p.lateLevel, 0.0f);
    s.lateHighPass = finiteOr(p.lateHighPass, 0.0f);
    s.lateLowPass = finiteOr(p.lateLowPass, 1.0f);
    return s;
}

} // namespace

Reverb::Implementation::Implementation(unsigned abilities)
    : abilities_(abilities)
    , pre_(std::make_unique<PreFilter>(has(PreHighPass), has(PreLowPass), kReservedFrames))
    , sum_(kReservedFrames, 0.0f)
    , feed_(kReservedFrames, 0.0f)
    , preDelay_(15, nullptr, true, 1.0f)
    , early_(has(EarlyHighPass), has(EarlyLowPass), kReservedFrames)
    , late_(has(LateHighPass), has(LateLowPass), kReservedFrames)
    , diffuser_(has(DryMix), kReservedFrames)
{
}

Reverb::Implementation::~Implementation() = default;

void Reverb::Implementation::monoFeed(unsigned frames, float sampleRate, float preDelaySeconds)
{
    if (sum_.size() < frames) {
        sum_.resize(frames);
        feed_.resize(frames);
    }
    Platform::Vdsp::add(pre_->left(), pre_->right(), sum_.data(), frames);
    Platform::Vdsp::scale(sum_.data(), 0.707f, sum_.data(), frames);
    if (has(PreDelay)) {
        preDelay_.setDelayTimeBySecond(preDelaySeconds, sampleRate);
        preDelay_.process(feed_.data(), sum_.data(), frames);
    } else {
        Platform::Vdsp::copy(sum_.data(), feed_.data(), frames);
    }
}

bool Reverb::Implementation::startBlock(float sampleRate, const Parameters& p)
{
    // Without a sample rate there is no time scale.
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate))
        return false;
    // d: samples that sound needs to travel the room; g: per-sample factor of a 60 dB decay.
    d_ = p.roomSize * sampleRate / kSpeedOfSound;
    if (!gKey_.changed({p.decayTime, sampleRate}))
        return true;
    const float decaySamples = p.decayTime * sampleRate;
    g_ = decaySamples > 0.0f ? std::pow(0.001f, 1.0f / decaySamples) : 0.0f;
    return true;
}

void Reverb::Implementation::process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                                     float sampleRate, const Parameters& parameters)
{
    if (frames == 0)
        return;
    const Parameters p = sanitized(parameters);
    if (!startBlock(sampleRate, p)) {
        // Silent, and the state is kept.
        Platform::Vdsp::clear(outL, frames);
        Platform::Vdsp::clear(outR, frames);
        return;
    }
    pre_->process(inL, inR, frames, p.preHighPass, p.preLowPass);
    monoFeed(frames, sampleRate, p.preDelay);
    early_.process(feed_.data(), frames, d_, g_, p.earlyLevel, p.earlyHighPass, p.earlyLowPass);
    const float* taps[4] = {early_.tap(0), early_.tap(1), early_.tap(2), early_.tap(3)};
    late_.process(taps, frames, d_, g_, p.lateBrightness, p.lateLevel, p.lateHighPass, p.lateLowPass);
    diffuser_.process(outL, outR, early_.output(), late_.output(), pre_->left(), pre_->right(), frames, d_,
                      p.stereoWidth, p.dryLevel);
}

// The stages in the order process runs them, each moving only its settings.
void Reverb::Implementation::idle(unsigned frames, float sampleRate, const Parameters& parameters)
{
    if (frames == 0)
        return;
    const Parameters p = sanitized(parameters);
    if (!startBlock(sampleRate, p))
        return;
    pre_->idle(p.preHighPass, p.preLowPass);
    if (has(PreDelay)) {
        preDelay_.setDelayTimeBySecond(p.preDelay, sampleRate);
        preDelay_.idle(frames);
    }
    early_.idle(frames, d_, g_, p.earlyLevel, p.earlyHighPass, p.earlyLowPass);
    late_.idle(frames, d_, g_, p.lateBrightness, p.lateLevel, p.lateHighPass, p.lateLowPass);
    diffuser_.idle(frames, d_, p.stereoWidth, p.dryLevel);
}

void Reverb::Implementation::reset()
{
    pre_->reset();
    preDelay_.reset();
    early_.reset();
    late_.reset();
    diffuser_.reset();
}

} // namespace Lumora::DSPv2
