#include "synthesis/voice/modules/Resonator.h"

#include <cmath>

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {

constexpr float kSplitCurve = 1.5f;
// atan(5x - 3) meets the line y = x at x = 1 with slope 1 once this is subtracted.
constexpr float kLimiterOffset = 0.10714877f;
// A tail below this level (-180 dB) is over.
constexpr float kSilence = 1.0e-9f;

// 2v / (1 + v^2): limits v to [-1, 1] smoothly.
float bend(float v)
{
    return 2.0f * v / (1.0f + v * v);
}

} // namespace

Resonator::Resonator()
    : delay_(SAMPLE_SIZE_16384, &noEffect_)
{
    // Both neighbouring samples are weighted fully, so that a loop of a fractional number of
    // samples sounds at the note's pitch; reading the earlier sample whole would lengthen every
    // period by up to a sample and leave the resonator flat, the more so the higher the note.
    delay_.setInterpolation(true, 1.0f);
    envelope_.setSquareOutputMode(false);
}

void Resonator::reserve(unsigned maxFrames)
{
    for (auto* b : {&input_, &resonated_, &dry_, &output_, &oscDry_, &oscWet_, &noiseDry_, &noiseWet_})
        grow(*b, maxFrames);
}

const float* Resonator::process(const float** dryOut, const float** resonatedOut, const float* oscInput,
                                const float* noiseInput, unsigned frames, float sampleRate, const Clock&,
                                const NoteInformation& note, const Parameters::Resonator& params,
                                const DSP::LFO& lfo, unsigned engineVersion, AudioQuality)
{
    DSP::ScopedFlushDenormals noDenormals;
    float* input = grow(input_, frames);
    float* resonated = grow(resonated_, frames);
    float* dry = grow(dry_, frames);
    float* out = grow(output_, frames);
    float* oscDry = grow(oscDry_, frames);
    float* oscWet = grow(oscWet_, frames);
    float* noiseDry = grow(noiseDry_, frames);
    float* noiseWet = grow(noiseWet_, frames);
    if (dryOut != nullptr)
        *dryOut = dry;
    if (resonatedOut != nullptr)
        *resonatedOut = resonated;
    if (frames == 0)
        return out;

    split(oscSplit_, wetOsc_, oscDry, oscWet, oscInput, frames, sampleRate, unit(params.wetOsc));
    split(noiseSplit_, wetNoise_, noiseDry, noiseWet, noiseInput, frames, sampleRate, unit(params.wetNoise));
    Platform::Vdsp::add(oscWet, noiseWet, input, frames);
    const bool silentInput = Platform::Vdsp::maxMagnitude(input, frames) == 0.0f;

    setAttackDecay(envelope_, params.env);
    envelope_.blockProcess(nullptr, kControlBlock, frames, sampleRate);

    const float lowPass = unit(params.lpf);
    const float base = bipolar(params.feedback);
    const float sign = base < 0.0f ? -1.0f : 1.0f;
    const float envFeedback = bend(bipolar(params.envDepth));
    const float lfoFeedback = unit(params.lfoDepth);
    const float tuning = std::exp2(bipolar(params.pitch));
    const float pe = bipolar(params.pitchEnv);
    const float pitchEnv = pe * pe * pe;
    const float pl = unit(params.pitchLfo);
    const float pitchLfo = pl * pl * pl;

    if (silentInput && resting_) {
        followSegmentPitches(note, frames, engineVersion);
        Platform::Vdsp::clear(resonated, frames);
    } else {
        const bool wholeBlock = isSingleSegment(frames, engineVersion);
        forEachSegment(frames, engineVersion, [&](unsigned offset, unsigned n) {
            const float env = segmentLevel(envelope_, wholeBlock, offset);
            const float l = 2.0f * segmentLevel(lfo, wholeBlock, offset) - 1.0f;
            const float f = segmentFrequency(note, wholeBlock, offset);
            const float feedback = bend(base) + bend(sign * env * envFeedback) + bend(l * lfoFeedback);
            const float tuned = f * tuning * std::exp2(env * pitchEnv) * std::exp2(l * pitchLfo);
            _process(resonated + offset, input + offset, n, sampleRate, lowPass, feedback, tuned);
        });
        saturate(resonated, resonated, frames);
        followTail(resonated, frames, silentInput);
    }
    Platform::Vdsp::add(oscDry, noiseDry, dry, frames);
    Platform::Vdsp::add(resonated, dry, out, frames);
    return out;
}

// A share of the input, gliding to a new setting, goes into the resonator; the rest stays dry.
void Resonator::split(DSP::Panner& panner, DSP::LinearGlide& share, float* dry, float* wet, const float* in,
                      unsigned frames, float sampleRate, float target)
{
    share.setTarget(target, glideFrames(sampleRate));
    forEachGlideValue(share, frames, [&](unsigned at, unsigned length, float value) {
        panner.process(dry + at, wet + at, in + at, length, 1.0f - value, kSplitCurve);
    });
}

void Resonator::_process(float* out, const float* in, unsigned n, float sampleRate, float lowPass, float feedback,
                         float frequency)
{
    lowPass_.setFrequency(cutoffCurve(lowPass));
    lowPass_.process(out, in, n);
    delay_.setFeedback(feedback);
    // A frequency that is not a positive number leaves the longest period the line can hold.
    const float seconds = frequency > 0.0f && std::isfinite(frequency) ? 1.0f / frequency
                                                                       : static_cast<float>(delay_.bufferSize());
    delay_.setDelayTimeBySecond(seconds, sampleRate);
    delay_.process(out, out, n);
}

void Resonator::saturate(float* out, const float* in, unsigned n)
{
    for (unsigned i = 0; i < n; ++i) {
        const float x = in[i];
        if (x > 1.0f)
            out[i] = std::atan(5.0f * x - 3.0f) - kLimiterOffset;
        else if (x < -1.0f)
            out[i] = -(std::atan(-5.0f * x - 3.0f) - kLimiterOffset);
        else if (x == x)
            out[i] = x;
        else
            out[i] = 0.0f; // NaN never reaches the voice
    }
}

// Most sounds send nothing into the resonator. It rests from a note's start until something is
// sent, and again once nothing is sent and its ring has stayed below hearing for longer than its
// line: everything it still held is then far below hearing too, and it is cleared. A resting
// resonator wakes from a cleared line, as at a note's start.
void Resonator::followTail(const float* resonated, unsigned frames, bool silentInput)
{
    if (!silentInput || !(Platform::Vdsp::maxMagnitude(resonated, frames) < kSilence)) {
        quietFrames_ = 0;
        resting_ = false;
        return;
    }
    quietFrames_ += frames;
    if (quietFrames_ > delay_.bufferSize()) {
        delay_.reset();
        lowPass_.reset();
        resting_ = true;
        quietFrames_ = 0;
    }
}

void Resonator::resetSignal()
{
    delay_.reset();
    lowPass_.reset();
    oscSplit_.reset();
    noiseSplit_.reset();
    wetOsc_.snapNext();
    wetNoise_.snapNext();
    resting_ = true;
    quietFrames_ = 0;
}

void Resonator::gateOn(VoicingType type)
{
    if (type == VoicingType::NewNote)
        resetSignal();
    envelope_.gateOn(type);
}

void Resonator::gateOff()
{
    envelope_.gateOff();
}

void Resonator::kill()
{
    envelope_.kill();
    resetSignal();
}

} // namespace Lumora::Corvane::Module
