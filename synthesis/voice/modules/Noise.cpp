#include "synthesis/voice/modules/Noise.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/filter/FilterFrequency.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {

enum NoiseType : unsigned { White = 0, Dark = 1, Bright = 2, BandPass = 3, SampleAndHold = 4, Geiger = 5 };

constexpr float kSampleAndHoldHold = 0.3f;
constexpr float kGeigerDensity = 0.6f;
// Width of the band around twice the note frequency.
constexpr float kBandPassResonance = 0.98f;
constexpr float kHighPassFrequency = 0.02f;

} // namespace

Noise::Noise()
{
    // Set once here, so that the render thread only reads the shaping maps and never inserts.
    sampleAndHold_.shapingValues[0] = kSampleAndHoldHold;
    geiger_.shapingValues[0] = kGeigerDensity;
    highPass_.setParam(kHighPassFrequency, 0.0f);
}

void Noise::reserve(unsigned maxFrames)
{
    grow(output_, maxFrames);
    grow(raw_, maxFrames);
    grow(envelopeBuffer_, maxFrames);
}

void Noise::renderBandPass(float* raw, unsigned frames, float sampleRate, const NoteInformation& note,
                           unsigned engineVersion)
{
    white_.process(raw, frames, sampleRate);
    const bool wholeBlock = isSingleSegment(frames, engineVersion);
    forEachSegment(frames, engineVersion, [&](unsigned offset, unsigned n) {
        const float f = segmentFrequency(note, wholeBlock, offset);
        biquad_.setBpfParam(DSP::Filter::hz2paramFreq(2.0f * f, sampleRate), kBandPassResonance);
        biquad_.process(raw + offset, raw + offset, n);
    });
}

const float* Noise::process(unsigned frames, float sampleRate, const Clock&, const NoteInformation& note,
                            const Parameters::Noise& params, unsigned engineVersion, AudioQuality, Span span)
{
    float* out = grow(output_, frames);
    if (frames == 0)
        return out;
    float* raw = grow(raw_, frames);

    if (span != Span::Continues) {
        type_ = choice(params.type);
        level_.setTarget(unit(params.level), glideFrames(sampleRate));
    }
    const unsigned type = type_;
    if (level_.value() == 0.0f && !level_.gliding() && amplifier_.lastGain() == 0.0f) {
        // Silenced: nothing is generated. The envelope keeps its time and the gain stage its state,
        // so that raising the level later glides up from silence.
        // Unheard within a span, the envelope only counts the frames: the level can rise again only
        // where a span opens, and the envelope catches up there, before it takes new times.
        if (span == Span::Continues)
            envelope_.owe(frames);
        else
            advanceEnvelope(frames, sampleRate, params, span, false);
        if (type == BandPass)
            followSegmentPitches(note, frames, engineVersion);
        // These sources draw from the generator that the pitch jitter of every voice draws from:
        // they keep drawing as when heard, so that silencing them shifts no voice's jitter.
        else if (type == SampleAndHold)
            sampleAndHold_.process(raw, frames, sampleRate);
        else if (type == Geiger)
            geiger_.process(raw, frames, sampleRate);
        // The gain stage at 0 clears what it passes; a buffer it cleared stays clear.
        if (frames > clearedFrames_) {
            amplifier_.process(out, out, frames, 0.0f);
            clearedFrames_ = frames;
        }
        previousType_ = static_cast<int32_t>(type);
        return out;
    }
    float gain = 0.5f;
    switch (type) {
    case Dark:
        white_.process(raw, frames, sampleRate);
        biquad_.setBiquadParam(0.019678f, 0.039356f, 0.019678f, 1.0f, 0.00014f, -0.960784f);
        biquad_.process(raw, raw, frames);
        gain = 1.0f;
        break;
    case Bright:
        white_.process(raw, frames, sampleRate);
        biquad_.setBiquadParam(0.700754f, -1.401507f, 0.700754f, 1.0f, -1.167863f, 0.167982f);
        biquad_.process(raw, raw, frames);
        gain = 1.0f;
        break;
    case BandPass:
        if (previousType_ != static_cast<int32_t>(BandPass))
            biquad_.reset();
        renderBandPass(raw, frames, sampleRate, note, engineVersion);
        gain = 10.0f;
        break;
    case SampleAndHold:
        sampleAndHold_.process(raw, frames, sampleRate);
        highPass_.process(raw, raw, frames);
        gain = 1.0f;
        break;
    case Geiger:
        geiger_.process(raw, frames, sampleRate);
        gain = 5.0f;
        break;
    default:
        white_.process(raw, frames, sampleRate);
        break;
    }

    clearedFrames_ = 0;
    const float* env = advanceEnvelope(frames, sampleRate, params, span, true);
    Platform::Vdsp::multiply(raw, env, out, frames);
    applyGlidingLevel(level_, amplifier_, out, frames, gain);
    previousType_ = static_cast<int32_t>(type);
    return out;
}

const float* Noise::advanceEnvelope(unsigned frames, float sampleRate, const Parameters::Noise& params, Span span,
                                    bool levels)
{
    envelope_.catchUp();
    if (span != Span::Continues)
        setAttackDecay(envelope_.adsr(), params.env);
    float* env = levels ? grow(envelopeBuffer_, frames) : nullptr;
    envelope_.render(env, frames, sampleRate);
    return env;
}

void Noise::resetSignal()
{
    amplifier_.reset();
    clearedFrames_ = 0;
    level_.snapNext();
    biquad_.reset();
    highPass_.reset();
}

void Noise::gateOn(VoicingType type)
{
    if (type == VoicingType::NewNote)
        resetSignal();
    envelope_.gateOn(type);
}

void Noise::gateOff()
{
    envelope_.gateOff();
}

void Noise::kill()
{
    envelope_.kill();
    resetSignal();
}

} // namespace Lumora::Corvane::Module
