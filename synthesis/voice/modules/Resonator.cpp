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
}

void Resonator::reserve(unsigned maxFrames)
{
    for (auto* b : {&input_, &resonated_, &dry_, &output_, &oscDry_, &oscWet_, &noiseDry_, &noiseWet_})
        grow(*b, maxFrames);
}

const float* Resonator::process(const float** dryOut, const float** resonatedOut, const float* oscInput,
                                const float* noiseInput, unsigned frames, float sampleRate, const Clock&,
                                const NoteInformation& note, const Parameters::Resonator& params,
                                const DSP::LFO& lfo, unsigned engineVersion, AudioQuality, Span span)
{
    DSP::ScopedFlushDenormals noDenormals;
    float* resonated = grow(resonated_, frames);
    float* dry = grow(dry_, frames);
    if (dryOut != nullptr)
        *dryOut = dry;
    if (resonatedOut != nullptr)
        *resonatedOut = resonated;
    if (frames == 0)
        return grow(output_, frames);

    if (span != Span::Continues) {
        const unsigned glide = glideFrames(sampleRate);
        wetOsc_.setTarget(unit(params.wetOsc), glide);
        wetNoise_.setTarget(unit(params.wetNoise), glide);
    }
    if (sendsNothing()) {
        // Everything stays dry: the splits would pass their inputs whole and send exact zeros.
        Platform::Vdsp::add(oscInput, noiseInput, dry, frames);
        followControl(span, frames, sampleRate, note, params, lfo);
        if (span == Span::Whole)
            followSegmentPitches(note, frames, engineVersion);
        clearResonated(frames);
        return dry;
    }
    float* input = grow(input_, frames);
    float* out = grow(output_, frames);
    float* oscDry = grow(oscDry_, frames);
    float* oscWet = grow(oscWet_, frames);
    float* noiseDry = grow(noiseDry_, frames);
    float* noiseWet = grow(noiseWet_, frames);
    split(oscSplit_, wetOsc_, oscDry, oscWet, oscInput, frames);
    split(noiseSplit_, wetNoise_, noiseDry, noiseWet, noiseInput, frames);
    Platform::Vdsp::add(oscWet, noiseWet, input, frames);
    const bool silentInput = Platform::Vdsp::maxMagnitude(input, frames) == 0.0f;
    followControl(span, frames, sampleRate, note, params, lfo);

    if (silentInput && resting_) {
        if (span == Span::Whole)
            followSegmentPitches(note, frames, engineVersion);
        clearResonated(frames);
    } else {
        zeroFrames_ = 0;
        if (span == Span::Whole) {
            const bool wholeBlock = isSingleSegment(frames, engineVersion);
            forEachSegment(frames, engineVersion, [&](unsigned offset, unsigned n) {
                const float env = segmentLevel(envelope_.adsr(), wholeBlock, offset);
                const float l = segmentLevel(lfo, wholeBlock, offset);
                hold(env, l, segmentFrequency(note, wholeBlock, offset));
                _process(resonated + offset, input + offset, n, sampleRate, settings_.lowPass, held_.feedback,
                         held_.tuned);
            });
        } else {
            holdOpened();
            _process(resonated, input, frames, sampleRate, settings_.lowPass, held_.feedback, held_.tuned);
        }
        saturate(resonated, resonated, frames);
        followTail(resonated, frames, silentInput);
    }
    Platform::Vdsp::add(oscDry, noiseDry, dry, frames);
    Platform::Vdsp::add(resonated, dry, out, frames);
    return out;
}

void Resonator::readControl(Span span, unsigned frames, float sampleRate, const NoteInformation& note,
                            const Parameters::Resonator& params, const DSP::LFO& lfo)
{
    if (span == Span::Opens) {
        // The envelope catches up with the times of the span gone by before it takes new ones.
        const float env = envelope_.openSpan(sampleRate);
        setAttackDecay(envelope_.adsr(), params.env);
        envelope_.owe(frames);
        readSettings(params);
        // Held only once the span is heard: a resonator that rests through it needs none of it.
        opened_ = {env, lfo.level(), note.frequency, true};
    } else {
        // A whole block holds its own modulation; the short block after it opens a new span.
        setAttackDecay(envelope_.adsr(), params.env);
        envelope_.runBlock(frames, sampleRate);
        readSettings(params);
    }
}

void Resonator::clearResonatedBuffer(unsigned frames)
{
    Platform::Vdsp::clear(resonated_.data(), frames);
    zeroFrames_ = frames;
}

void Resonator::readSettings(const Parameters::Resonator& params)
{
    Settings& k = settings_;
    k.lowPass = unit(params.lpf);
    k.base = bipolar(params.feedback);
    k.sign = k.base < 0.0f ? -1.0f : 1.0f;
    k.envFeedback = bend(bipolar(params.envDepth));
    k.lfoFeedback = unit(params.lfoDepth);
    k.tuning = std::exp2(bipolar(params.pitch));
    const float pe = bipolar(params.pitchEnv);
    k.pitchEnv = pe * pe * pe;
    const float pl = unit(params.pitchLfo);
    k.pitchLfo = pl * pl * pl;
}

// The modulation the span opened with, held now that the span is heard (the settings stay as
// they were read there until the next span).
void Resonator::holdOpened()
{
    if (!opened_.pending)
        return;
    opened_.pending = false;
    hold(opened_.env, opened_.lfo, opened_.frequency);
}

void Resonator::hold(float env, float lfo, float frequency)
{
    const Settings& k = settings_;
    const float l = 2.0f * lfo - 1.0f;
    held_.feedback = bend(k.base) + bend(k.sign * env * k.envFeedback) + bend(l * k.lfoFeedback);
    held_.tuned = frequency * k.tuning * std::exp2(env * k.pitchEnv) * std::exp2(l * k.pitchLfo);
}

// A share of the input, gliding to a new setting, goes into the resonator; the rest stays dry.
void Resonator::split(DSP::Panner& panner, DSP::LinearGlide& share, float* dry, float* wet, const float* in,
                      unsigned frames)
{
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
