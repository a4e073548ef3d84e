#include "synthesis/voice/modules/Pitch.h"

#include <cmath>

#include "engine/math/PowerOfTwo.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/dsp/noise/XorAddGenerator.h"

namespace Lumora::Corvane::Module {

namespace {
// Largest fixed offset of a note at full drift, in semitones.
constexpr float kNoteOffsetSemitones = 0.2f;
// Jitter in semitones: this much at drift 0, plus up to 0.2 more at full drift.
constexpr float kJitterFloor = 0.01f;
constexpr float kJitterDrift = 0.2f;
} // namespace

Pitch::Pitch() = default;

float Pitch::process(unsigned frames, float sampleRate, const Clock&, const NoteInformation& note,
                     const Parameters::Pitch& params, const DSP::LFO& lfo, unsigned engineVersion, AudioQuality,
                     Span span)
{
    if (span == Span::Continues)
        return continueSpan(frames);
    readSettings(note, params, lfo, engineVersion);
    if (span == Span::Opens) {
        // The envelope catches up with the times of the span gone by before it takes new ones.
        const float env = envelope_.openSpan(sampleRate);
        const float d = envelopeSeconds(unit(params.env.decay));
        envelope_.adsr().setADSR(envelopeSeconds(unit(params.env.attack)), d, 0.0f, d);
        envelope_.owe(frames);
        held_ = frequencyAt(env, lfo.level());
        return held_;
    }
    const float d = envelopeSeconds(unit(params.env.decay));
    envelope_.adsr().setADSR(envelopeSeconds(unit(params.env.attack)), d, 0.0f, d);
    envelope_.runBlock(frames, sampleRate);
    return frequency(0);
}

void Pitch::readSettings(const NoteInformation& note, const Parameters::Pitch& params, const DSP::LFO& lfo,
                         unsigned engineVersion)
{
    engineVersion_ = engineVersion;
    lfo_ = &lfo;
    base_ = note.frequency;
    drift_ = unit(params.drift);
    envDepth_ = bipolar(params.envDepth);
    lfoDepth_ = unit(params.lfoDepth);
}

float Pitch::frequency(unsigned sample) const
{
    const DSP::ENV::ADSR& envelope = envelope_.adsr();
    if (isFirstEngineVersion(engineVersion_))
        return frequencyAt(envelope.slope().second, lfo_ != nullptr ? lfo_->slope().second : 0.0f);
    return frequencyAt(envelope.level(sample), lfo_ != nullptr ? lfo_->level(sample) : 0.0f);
}

float Pitch::frequencyAt(float env, float lfo) const
{
    const float E = envDepth_;
    const float L = lfoDepth_;
    const float D = drift_;
    // The envelope bends by up to +-2 octaves, the LFO (0..1) raises by up to an octave.
    float f = base_ * Math::powerOfTwo(2.0f * env * E * E * E) * Math::powerOfTwo(lfo * L * L * L);
    f *= Math::powerOfTwo(noteOffset_ * D * kNoteOffsetSemitones / 12.0f);
    const float jitter = smoother_.process(DSP::sharedGenerator.next());
    f *= Math::powerOfTwo((D * std::fabs(D) * kJitterDrift + kJitterFloor) * jitter / 12.0f);
    return f;
}

void Pitch::gateOn(VoicingType type)
{
    if (type == VoicingType::NewNote)
        noteOffset_ = DSP::sharedGenerator.next();
    envelope_.gateOn(type);
}

void Pitch::gateOff()
{
    envelope_.gateOff();
}

void Pitch::kill()
{
    envelope_.kill();
}

} // namespace Lumora::Corvane::Module
