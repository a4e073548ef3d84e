#include "synthesis/voice/modules/Filter.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {
constexpr float kDcCutoffHz = 20.0f;
}

Filter::Filter()
    : lowBoostShaper_(0.8f, 200)
{
}

void Filter::reserve(unsigned maxFrames)
{
    grow(output_, maxFrames);
    grow(lowBoost_, maxFrames);
    driveStage_.reserve(maxFrames);
}

const float* Filter::process(const float* in, unsigned frames, float sampleRate, const Clock&,
                             const NoteInformation& note, const Parameters::Filter& params, const DSP::LFO& lfo,
                             unsigned engineVersion, AudioQuality, Span span)
{
    DSP::ScopedFlushDenormals noDenormals;
    float* out = grow(output_, frames);
    if (frames == 0)
        return out;

    if (span == Span::Continues) {
        envelope_.owe(frames);
        if (!gliding_ && stages_.valid)
            runStages(out, in, frames);
        else
            renderSpan(out, in, 0, frames, gliding_);
    } else if (span == Span::Opens) {
        // The envelope catches up with the times of the span gone by before it takes new ones.
        const float env = envelope_.openSpan(sampleRate);
        setTimes(params);
        envelope_.owe(frames);
        readSettings(note, params, sampleRate);
        held_.env = env;
        held_.lfo = lfo.level();
        gliding_ = isGliding();
        renderSpan(out, in, 0, frames, gliding_);
    } else {
        setTimes(params);
        envelope_.runBlock(frames, sampleRate);
        readSettings(note, params, sampleRate);
        const bool gliding = isGliding();
        gliding_ = gliding;
        const bool wholeBlock = isSingleSegment(frames, engineVersion);
        forEachSegment(frames, engineVersion, [&](unsigned offset, unsigned n) {
            held_.env = segmentLevel(envelope_.adsr(), wholeBlock, offset);
            held_.lfo = segmentLevel(lfo, wholeBlock, offset);
            renderSpan(out, in, offset, n, gliding);
        });
    }

    dcBlocker_.process(out, out, frames, sampleRate, kDcCutoffHz);
    return out;
}

// The envelope's levels are squared.
void Filter::setTimes(const Parameters::Filter& params)
{
    const float sustain = unit(params.env.sustain);
    envelope_.adsr().setADSR(envelopeSeconds(unit(params.env.attack)), envelopeSeconds(unit(params.env.decay)),
                             sustain * sustain, envelopeSeconds(unit(params.env.release)));
}

void Filter::readSettings(const NoteInformation& note, const Parameters::Filter& params, float sampleRate)
{
    held_.type = choice(params.type);
    held_.saturatorType = params.saturatorType;
    const float e = bipolar(params.envDepth);
    const float L = unit(params.lfoDepth);
    const unsigned glide = glideFrames(sampleRate);
    cutoff_.setTarget(unit(params.freq), glide);
    envDepth_.setTarget(e * std::fabs(e), glide);
    lfoDepth_.setTarget(L * L, glide);
    resonance_.setTarget(unit(params.reso), glide);
    drive_.setTarget(unit(params.drive), glide);
    low_.setTarget(unit(params.low), glide);
    const float velo = unit(params.velo);
    const float velocity = static_cast<float>(note.velocity) / 127.0f;
    velocity_.setTarget(velo * velo * velocity * velocity, glide);
    const float key = unit(params.key);
    // Key tracking around middle C: at full amount the cutoff doubles per octave.
    keyTracking_.setTarget(1.0f + key * key * (std::exp2(static_cast<float>(note.note - 60) / 12.0f) - 1.0f),
                           glide);
}

// n samples from offset with the modulation held; while a setting glides, in glide spans, each at
// the settings' values where it ends.
void Filter::renderSpan(float* out, const float* in, unsigned offset, unsigned n, bool gliding)
{
    const auto render = [&](unsigned at, unsigned length) {
        const float x = clamp01(cutoff_.value() + held_.env * envDepth_.value() + held_.lfo * lfoDepth_.value() +
                                velocity_.value());
        _process(out + at, in + at, length, held_.type, keyTracking_.value() * cutoffSweep_(x), resonance_.value(),
                 drive_.value(), held_.saturatorType, low_.value());
    };
    if (!gliding) {
        render(offset, n);
        return;
    }
    forEachGlideSpan(offset, n, [&](unsigned at, unsigned length) {
        advanceGlides(length);
        render(at, length);
    });
    gliding_ = isGliding();
}

void Filter::advanceGlides(unsigned n)
{
    for (DSP::LinearGlide* g :
         {&cutoff_, &envDepth_, &lfoDepth_, &resonance_, &drive_, &low_, &velocity_, &keyTracking_})
        g->advance(n);
}

void Filter::_process(float* out, const float* in, unsigned n, unsigned filterType, float cutoff, float resonance,
                      float drive, unsigned saturatorType, float low)
{
    stage1_.setLpfParam(cutoff, resonance);
    if (filterType != 0)
        stage2_.setLpfParam(cutoff, resonance * 0.5f);
    if (low < 0.25f) {
        // Low cut: at 0 up to half the cutoff, nothing as low approaches 0.25.
        lowCut_.setFrequency(cutoff * 0.5f * lowCutSweep_(clamp01(1.0f - 4.0f * low)));
    } else {
        lowBoostFilter_.setLpfParam(cutoff * 0.5f, 0.0f);
    }
    // A drive stage that passes the signal untouched keeps doing so at the same drive (bit for bit:
    // it tells -0 from 0).
    const bool driveIdle = stages_.driveIdle && std::bit_cast<std::uint32_t>(drive) ==
                                                    std::bit_cast<std::uint32_t>(stages_.drive);
    stages_ = {cutoff, resonance, drive, low, filterType, saturatorType, driveIdle, true};
    runStages(out, in, n);
}

// The designs and the low cut's frequency are those set for stages_.
void Filter::runStages(float* out, const float* in, unsigned n)
{
    Stages& s = stages_;
    if (s.type != 0)
        stage1_.processThen(stage2_, out, in, n);
    else
        stage1_.process(out, in, n);
    if (!s.driveIdle) {
        driveStage_.process(out, out, n, s.drive, s.saturatorType);
        s.driveIdle = driveStage_.passes(s.drive);
    }
    if (s.low < 0.25f) {
        lowCut_.process(out, out, n);
        return;
    }
    const float b = (s.low - 0.25f) / 0.75f;
    // Low boost: the unfiltered input's low end, shaped, added back. The low-pass runs even at no
    // boost so that raising the boost later starts from its current state.
    float* work = grow(lowBoost_, n);
    const float boost = 4.0f * b * b;
    if (boost <= 0.0f) {
        lowBoostFilter_.process(work, in, n);
        return;
    }
    lowBoostFilter_.processScaled(work, in, n, boost);
    lowBoostShaper_.processAdding(out, work, n);
}

void Filter::resetSignal()
{
    // A new note starts at the settings as they are.
    for (DSP::LinearGlide* g :
         {&cutoff_, &envDepth_, &lfoDepth_, &resonance_, &drive_, &low_, &velocity_, &keyTracking_})
        g->snapNext();
    gliding_ = isGliding();
    stage1_.reset();
    stage2_.reset();
    lowBoostFilter_.reset();
    lowCut_.reset();
    driveStage_.reset();
    dcBlocker_.reset();
    stages_ = {};
}

void Filter::gateOn(VoicingType type)
{
    if (type == VoicingType::NewNote)
        resetSignal();
    envelope_.gateOn(type);
}

void Filter::gateOff()
{
    envelope_.gateOff();
}

void Filter::kill()
{
    envelope_.kill();
    resetSignal();
}

} // namespace Lumora::Corvane::Module
