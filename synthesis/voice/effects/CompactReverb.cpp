#include "synthesis/voice/effects/CompactReverb.h"

#include <cmath>

#include "platform/vdsp/Vdsp.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {

// Mutually prime-ish comb lengths keep the echo density even.
constexpr float kCombSeconds[CompactReverb::kCombCount] = {0.013f, 0.023f, 0.031f, 0.053f, 0.073f};
// Shorter combs feed back less, so that all of them fade at a similar pace.
constexpr float kCombFeedbackScale[CompactReverb::kCombCount] = {1.0f, 0.9f, 0.8f, 0.7f, 0.6f};
constexpr float kAllPassSeconds[2] = {0.0017f, 0.0053f};
constexpr float kAllPassGain = 0.9f;

} // namespace

CompactReverb::Comb::Comb() : line(SAMPLE_SIZE_4096)
{
    line.setInterpolation(false, 1.0f);
}

CompactReverb::AllPass::AllPass() : line(SAMPLE_SIZE_1024)
{
    line.setInterpolation(false, 1.0f);
}

CompactReverb::CompactReverb() : preDelay_(SAMPLE_SIZE_16384, true, 1.0f)
{
    preDelay_.setFeedback(0.0f);
}

void CompactReverb::reserve(unsigned maxFrames)
{
    grow(mono_, maxFrames);
    for (Comb& comb : combs_)
        grow(comb.out, maxFrames);
    for (AllPass& allPass : allPasses_)
        grow(allPass.out, maxFrames);
}

void CompactReverb::reset()
{
    send_.reset();
    sendGain_.snapNext();
    preDelay_.reset();
    for (Comb& comb : combs_)
        comb.line.reset();
    for (AllPass& allPass : allPasses_)
        allPass.line.reset();
    highPass_.reset();
    settled_ = false;
}

void CompactReverb::configure(float sampleRate, const Parameters::Reverb& p)
{
    // The pre-delay is a share of its buffer, the same number of samples at any sample rate.
    preDelay_.setDelayTime(unit(p.predelay));
    preDelay_.setFeedback(0.0f);

    // fb = 11 t / (10 t + 1) · 0.98 rises steeply at first and reaches 0.98 at t = 1.
    const float t = unit(p.time);
    const float fb = t * 11.0f / (std::fabs(t) * 10.0f + 1.0f) * 0.98f;
    // c = 1 - 0.99 (1 - 6x / (5x + 1)): 1 (no damping) at x = 1 down to 0.01 at x = 0.
    const float x = 1.0f - unit(p.hiDamp);
    const float c = 1.0f - 0.99f * (1.0f - 6.0f * x / (5.0f * std::fabs(x) + 1.0f));
    const float a = 1.0f - c * std::fabs(c);
    dampingC_ = c;
    dampingA_ = a;
    for (unsigned i = 0; i < kCombCount; ++i) {
        DSP::HiDampDelay& line = combs_[i].line;
        line.setDelayTimeBySecond(kCombSeconds[i], sampleRate);
        line.setFeedback(fb * kCombFeedbackScale[i]);
        line.damping().lpf().set(c, a);
    }
    for (unsigned i = 0; i < 2; ++i) {
        allPasses_[i].line.setDelayTimeBySecond(kAllPassSeconds[i], sampleRate);
        allPasses_[i].line.setFeedback(kAllPassGain);
    }
    highPass_.setParam(cutoffCurve(unit(p.hpf) * 0.8f), 0.0f);
}

void CompactReverb::followSettings(float sampleRate, const Parameters::Reverb& p)
{
    if (!settingsKey_.changed({p.predelay.normalizedValue(), p.time.normalizedValue(), p.hiDamp.normalizedValue(),
                               p.hpf.normalizedValue(), sampleRate}))
        return;
    configure(sampleRate, p);
    glideFrames_ = glideFrames(sampleRate);
}

// A block that sends nothing moves the send's glide, and its gain stage to where it ends.
void CompactReverb::moveSend(float gain, unsigned frames)
{
    sendGain_.setTarget(gain, glideFrames_);
    const float reached = sendGain_.advance(frames);
    if (!send_.unset() && standsAt(send_.lastGain(), reached))
        return;
    float* mono = grow(mono_, frames);
    send_.process(mono, mono, 0, reached);
}

void CompactReverb::rest(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                         float sampleRate, const Parameters::Reverb& p)
{
    followSettings(sampleRate, p);
    moveSend(0.0f, frames);
    settled_ = false;
    addSilence(outL, inL, frames);
    addSilence(outR, inR, frames);
}

bool CompactReverb::wetQuiet(unsigned frames) const
{
    return quiet(allPasses_[1].out.data(), frames);
}

void CompactReverb::idle(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                         float sampleRate, const Parameters::Reverb& p)
{
    const std::array<float, 5> settings{unit(p.predelay), unit(p.time), unit(p.hiDamp), unit(p.hpf), sampleRate};
    if (!settled_ || settings != settledSettings_) {
        process(outL, outR, inL, inR, frames, sampleRate, p);
        settledSettings_ = settings;
        settled_ = true;
        return;
    }
    const float s = unit(p.send);
    followSettings(sampleRate, p);
    moveSend(s * std::fabs(s) * 0.5f, frames);
    // The silent input plus a silent wet signal is the input.
    passThrough(outL, outR, inL, inR, frames);
}

void CompactReverb::process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                            float sampleRate, const Parameters::Reverb& p)
{
    settled_ = false;
    followSettings(sampleRate, p);
    float* mono = grow(mono_, frames);
    Platform::Vdsp::add(inL, inR, mono, frames);
    const float s = unit(p.send);
    sendGain_.setTarget(s * std::fabs(s) * 0.5f, glideFrames_);
    applyGlidingGain(sendGain_, send_, mono, frames);
    highPass_.process(mono, mono, frames);
    preDelay_.process(mono, mono, frames);

    float* wet = grow(combs_[0].out, frames);
    combs_[0].line.process(wet, mono, frames);
    for (unsigned i = 1; i < kCombCount; ++i) {
        float* comb = grow(combs_[i].out, frames);
        combs_[i].line.process(comb, mono, frames);
        Platform::Vdsp::add(wet, comb, wet, frames);
    }
    float* first = grow(allPasses_[0].out, frames);
    float* second = grow(allPasses_[1].out, frames);
    allPasses_[0].line.process(first, wet, frames);
    allPasses_[1].line.process(second, first, frames);

    Platform::Vdsp::add(inL, second, outL, frames);
    Platform::Vdsp::add(inR, second, outR, frames);
}

} // namespace Lumora::Corvane::Module
