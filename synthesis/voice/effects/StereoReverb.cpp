#include "synthesis/voice/effects/StereoReverb.h"

#include <algorithm>
#include <cmath>

#include "platform/vdsp/Vdsp.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {

// The pitch of note C10, the top of the ten octaves the cutoffs sweep.
constexpr float kTopCutoffHz = 33488.0703125f;

// kTopCutoffHz lowered by the given octaves, normalized to the Nyquist frequency and limited to 1.
float octavesBelowTop(float octaves, float sampleRate)
{
    return std::min(1.0f, kTopCutoffHz / std::exp2(octaves) / (sampleRate * 0.5f));
}

} // namespace

StereoReverb::StereoReverb()
    : reverb_(DSPv2::Reverb::PreHighPass | DSPv2::Reverb::PreLowPass | DSPv2::Reverb::PreDelay)
{
}

void StereoReverb::reserve(unsigned maxFrames, float sampleRate)
{
    float* left = grow(left_, maxFrames);
    float* right = grow(right_, maxFrames);
    Platform::Vdsp::clear(left, maxFrames);
    Platform::Vdsp::clear(right, maxFrames);
    // The reverb grows its vectors on the first block that needs them; one silent block of the
    // largest size does that now, and the reset forgets it.
    reverb_.process(left, right, left, right, maxFrames, sampleRate);
    reverb_.reset();
}

void StereoReverb::reset()
{
    reverb_.reset();
    settled_ = false;
}

void StereoReverb::configure(DSPv2::Reverb::Parameters& r, float sampleRate, const Parameters::Reverb& p)
{
    const float t = unit(p.time);
    const float hiDamp = unit(p.hiDamp);
    r.preDelay = unit(p.predelay) * 0.2f;
    r.roomSize = 10.0f + 90.0f * t;
    r.decayTime = 0.1f + 10.0f * t;
    r.lateBrightness = 1.0f - hiDamp;
    // High-pass from 32.7 Hz (0) to the top (1); low-pass from the top down five octaves.
    r.preHighPass = octavesBelowTop(10.0f * (1.0f - unit(p.hpf)), sampleRate);
    r.preLowPass = octavesBelowTop(5.0f * hiDamp, sampleRate);
    r.dryLevel = 0.0f;
    r.earlyLevel = 0.5f;
    r.lateLevel = 0.5f;
}

void StereoReverb::followSettings(float sampleRate, const Parameters::Reverb& p)
{
    if (!settingsKey_.changed({p.time.normalizedValue(), p.hiDamp.normalizedValue(), p.predelay.normalizedValue(),
                               p.hpf.normalizedValue(), sampleRate}))
        return;
    configure(reverb_.param, sampleRate, p);
    glideFrames_ = glideFrames(sampleRate);
}

// A block that sends nothing moves the send's glide, and its gain stage to where it ends.
void StereoReverb::moveSend(float gain, unsigned frames)
{
    sendGain_.setTarget(gain, glideFrames_);
    const float reached = sendGain_.advance(frames);
    if (standsAt(send_.lastGain(), reached))
        return;
    float* left = grow(left_, frames);
    float* right = grow(right_, frames);
    send_.process(left, right, left, right, 0, reached, 0.0f, 0.0f);
}

void StereoReverb::rest(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                        float sampleRate, const Parameters::Reverb& p)
{
    followSettings(sampleRate, p);
    moveSend(0.0f, frames);
    settled_ = false;
    addSilence(outL, inL, frames);
    addSilence(outR, inR, frames);
}

namespace {

bool sameParameters(const DSPv2::Reverb::Parameters& a, const DSPv2::Reverb::Parameters& b)
{
    return a.preHighPass == b.preHighPass && a.preLowPass == b.preLowPass && a.preDelay == b.preDelay &&
           a.roomSize == b.roomSize && a.decayTime == b.decayTime && a.stereoWidth == b.stereoWidth &&
           a.lateBrightness == b.lateBrightness && a.dryLevel == b.dryLevel && a.earlyLevel == b.earlyLevel &&
           a.earlyHighPass == b.earlyHighPass && a.earlyLowPass == b.earlyLowPass && a.lateLevel == b.lateLevel &&
           a.lateHighPass == b.lateHighPass && a.lateLowPass == b.lateLowPass;
}

} // namespace

void StereoReverb::idle(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                        float sampleRate, const Parameters::Reverb& p)
{
    followSettings(sampleRate, p);
    const DSPv2::Reverb::Parameters& wanted = reverb_.param;
    const bool unchanged = settled_ && settledSampleRate_ == sampleRate && settledFrames_ == frames &&
                           sameParameters(wanted, settledParameters_);
    const float s = unit(p.send);
    moveSend(s * std::fabs(s), frames);
    if (!unchanged || !reverb_.glidesHeld()) {
        // The send feeds the reverb silence, over which only its settings move; the wet signal
        // would be zeros, added to the input as process adds it.
        reverb_.idle(frames, sampleRate);
        settledParameters_ = wanted;
        settledSampleRate_ = sampleRate;
        settledFrames_ = frames;
        settled_ = true;
        addSilence(outL, inL, frames);
        addSilence(outR, inR, frames);
        return;
    }
    // The silent input plus a silent wet signal is the input.
    passThrough(outL, outR, inL, inR, frames);
}

void StereoReverb::process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                           float sampleRate, const Parameters::Reverb& p)
{
    float* left = grow(left_, frames);
    float* right = grow(right_, frames);
    settled_ = false;
    followSettings(sampleRate, p);
    const float s = unit(p.send);
    sendGain_.setTarget(s * std::fabs(s), glideFrames_);
    forEachGlideValue(sendGain_, frames, [&](unsigned at, unsigned length, float gain) {
        send_.process(left + at, right + at, inL + at, inR + at, length, gain, 0.0f, 0.0f);
    });
    reverb_.process(left, right, left, right, frames, sampleRate);
    Platform::Vdsp::add(inL, left, outL, frames);
    Platform::Vdsp::add(inR, right, outR, frames);
}

} // namespace Lumora::Corvane::Module
