#include "synthesis/voice/modules/AMP.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {
// The shortest release: a note never stops within less than 10 ms, which would click.
constexpr float kMinimumRelease = 0.01f;

// out = in * sustained * velocity * gain, multiplied in that order as the separate passes do, in
// one pass. A velocity gain of 1 is not applied, as the passes skip it.
void scaleInTurn(const float* in, float sustained, float velocity, float gain, float* out, unsigned n)
{
    if (velocity == 1.0f)
        Platform::Vdsp::scaleTwice(in, sustained, gain, out, n);
    else
        Platform::Vdsp::scaleThrice(in, sustained, velocity, gain, out, n);
}
}

AMP::AMP()
{
    envelope_.setSquareOutputMode(true);
}

void AMP::reserve(unsigned maxFrames)
{
    grow(envelopeBuffer_, maxFrames);
}

float* AMP::process(float* out, const float* in, unsigned frames, float sampleRate, const Clock&,
                    const NoteInformation& note, const Parameters::AMP& params, unsigned, AudioQuality, Span span)
{
    if (frames == 0)
        return out;
    if (span != Span::Continues) {
        envelope_.setADSR(envelopeSeconds(unit(params.env.attack)), envelopeSeconds(unit(params.env.decay)),
                          unit(params.env.sustain) * unit(params.env.sustain),
                          envelopeSeconds(unit(params.env.release)) + kMinimumRelease);
        // At sensitivity 0 velocity does nothing; at 1 the gain is proportional to it.
        const float v = unit(params.velocity);
        const float velocity = clamp01(static_cast<float>(note.velocity) / 127.0f);
        velocityGain_ = 1.0f - v + v * velocity;
        level_.setTarget(unit(params.level), glideFrames(sampleRate));
    }
    // A sustaining envelope is one gain for the whole block, the same products as its buffer gives.
    float sustained = 0.0f;
    if (envelope_.sustainBlock(frames, sampleRate, sustained)) {
        const float level = level_.value();
        const float gain = level * level; // the gain applyGlidingLevel gives a level standing still
        if (!level_.gliding() && amplifier_.holds(gain)) {
            scaleInTurn(in, sustained, velocityGain_, gain, out, frames);
            return out;
        }
        Platform::Vdsp::scale(in, sustained, out, frames);
    } else {
        float* env = grow(envelopeBuffer_, frames);
        envelope_.process(env, frames, sampleRate);
        Platform::Vdsp::multiply(in, env, out, frames);
    }
    if (velocityGain_ != 1.0f)
        Platform::Vdsp::scale(out, velocityGain_, out, frames);

    applyGlidingLevel(level_, amplifier_, out, frames);
    return out;
}

void AMP::gateOn(VoicingType type)
{
    if (type == VoicingType::NewNote) {
        amplifier_.reset();
        level_.snapNext();
    }
    envelope_.gateOn(type);
}

void AMP::gateOff()
{
    envelope_.gateOff();
}

void AMP::kill()
{
    envelope_.kill();
}

} // namespace Lumora::Corvane::Module
