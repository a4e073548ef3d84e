#include "synthesis/voice/modules/OSC.h"

#include <algorithm>
#include <cmath>

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {

constexpr float kWaveCurve = 1.5f;
constexpr float kSawScale = 0.8f;
constexpr float kSquareScale = 0.6f;
constexpr float kTriangleRatioScale = 1.5f;
constexpr float kMinimumRatio = 0.01f;
constexpr float kSemitone = 1.059463094359f;
constexpr int kDetuneKey = 0;

// Sets every voice of a group for one segment and renders it.
template <class G>
void renderGroup(G& group, float* out, unsigned n, float sampleRate, float frequency, float ratio, float index,
                 float mix, float detune, unsigned oversampling)
{
    for (auto& voice : group.voices) {
        voice.fm.mode = oversampling;
        auto& fm = voice.fm.inner;
        fm.ratio = std::max(ratio, kMinimumRatio);
        fm.setFrequency(fm.frequency()); // the modulator takes the new ratio
        fm.index = std::max(index, 0.0f);
        voice.mix = mix;
    }
    // The key exists from construction on, so this never inserts on the render thread.
    group.shapingValues[kDetuneKey] = detune * detune;
    group.setFrequency(frequency);
    group.process(out, n, sampleRate);
}

} // namespace

OSC::OSC()
{
    saw_.shapingValues[kDetuneKey] = 0.0f;
    square_.shapingValues[kDetuneKey] = 0.0f;
    triangle_.shapingValues[kDetuneKey] = 0.0f;
}

void OSC::reserve(unsigned maxFrames)
{
    for (auto* b : {&output_, &sawBuffer_, &squareBuffer_, &triangleBuffer_, &subBuffer_})
        grow(*b, maxFrames);
    saw_.reserve(maxFrames);
    square_.reserve(maxFrames);
    triangle_.reserve(maxFrames);
}

const float* OSC::process(unsigned frames, float sampleRate, const Clock&, const NoteInformation& note,
                          const Parameters::Osc& params, const DSP::LFO& lfo, unsigned engineVersion,
                          AudioQuality quality)
{
    float* out = grow(output_, frames);
    grow(sawBuffer_, frames);
    grow(squareBuffer_, frames);
    grow(triangleBuffer_, frames);
    grow(subBuffer_, frames);
    if (frames == 0)
        return out;

    setAttackDecay(envelope_, params.env);
    envelope_.blockProcess(nullptr, kControlBlock, frames, sampleRate);

    const float W = bipolar(params.waveMix);
    const float We = bipolar(params.waveEnv);
    const float Wl = unit(params.waveLfo);
    const float M = unit(params.modDepth);
    const float Fe = bipolar(params.modEnvDepth);
    float Fl = unit(params.modLfoDepth);
    if (!isFirstEngineVersion(engineVersion))
        Fl *= Fl;
    const float modFreq = unit(params.modFreq);
    float R = 4.0f * modFreq * modFreq;
    if (isFirstEngineVersion(engineVersion))
        R = snapModRatio(R).first;
    const unsigned target = choice(params.modTarget);
    const float I = choice(params.modType) == 0 ? 0.548f : 1.0f;
    const float Dt = unit(params.detune);
    const auto q = static_cast<int>(quality);
    const unsigned oversampling = q <= 0 ? OVERSAMPLE_NONE : q == 1 ? OVERSAMPLE_2X : OVERSAMPLE_4X;

    const unsigned glide = glideFrames(sampleRate);
    waveMix_.setTarget(W, glide);
    modDepth_.setTarget(M, glide);
    subShare_.setTarget(unit(params.subLevel), glide);
    level_.setTarget(unit(params.level), glide);

    const bool gliding = waveMix_.gliding() || modDepth_.gliding();
    const bool wholeBlock = isSingleSegment(frames, engineVersion);
    forEachSegment(frames, engineVersion, [&](unsigned offset, unsigned n) {
        const float env = segmentLevel(envelope_, wholeBlock, offset);
        const float l = 2.0f * segmentLevel(lfo, wholeBlock, offset) - 1.0f;
        const float f = segmentFrequency(note, wholeBlock, offset);
        const float mod = env * Fe + Fl * l;
        const auto render = [&](unsigned at, unsigned length) {
            Segment s;
            s.frequency = f;
            s.position = clamp01((waveMix_.value() + env * We + 0.5f * Wl * l + 1.0f) * 0.5f);
            s.mix = target == 0 ? modDepth_.value() + mod : modDepth_.value();
            s.ratio = target == 1 ? R + 0.4f * mod : R;
            s.index = I;
            s.detune = Dt;
            s.oversampling = oversampling;
            renderSegment(at, length, sampleRate, s);
        };
        if (!gliding) {
            render(offset, n);
        } else {
            forEachGlideSpan(offset, n, [&](unsigned at, unsigned length) {
                waveMix_.advance(length);
                modDepth_.advance(length);
                render(at, length);
            });
        }
        renderSub(offset, n, sampleRate, f);
    });

    applyGlidingLevel(level_, amplifier_, out, frames);
    return out;
}

void OSC::renderSegment(unsigned offset, unsigned n, float sampleRate, const Segment& s)
{
    float* out = output_.data() + offset;
    float* saw = sawBuffer_.data() + offset;
    float* square = squareBuffer_.data() + offset;
    float* triangle = triangleBuffer_.data() + offset;
    const float p = s.position;

    // Only the groups the position can hear are rendered; the others' phases stand still.
    if (p >= 0.0f && p < 0.5f) {
        renderGroup(saw_, saw, n, sampleRate, s.frequency, s.ratio, s.index, s.mix, s.detune, s.oversampling);
        Platform::Vdsp::scale(saw, kSawScale, saw, n);
    }
    if (p > 0.0f && p < 1.0f)
        renderGroup(triangle_, triangle, n, sampleRate, s.frequency, kTriangleRatioScale * s.ratio, s.index, s.mix,
                    s.detune, s.oversampling);
    if (p > 0.5f && p <= 1.0f) {
        // The square sits 0.2 * detune semitones above the others.
        const float f = s.frequency * squareShift(s.detune);
        renderGroup(square_, square, n, sampleRate, f, s.ratio, s.index, s.mix, s.detune, s.oversampling);
        Platform::Vdsp::scale(square, kSquareScale, square, n);
    }
    crossfader_.process(out, saw, triangle, square, n, p, kWaveCurve);
}

// The sub follows its level's glide on its own, so that a sub level moving leaves the waves'
// rendering as it is.
void OSC::renderSub(unsigned offset, unsigned n, float sampleRate, float frequency)
{
    forEachGlideSpanOf(subShare_, offset, n, [&](unsigned at, unsigned length, float level) {
        // A sub that was heard and is now at 0 sounds one span more, fading out, rather than
        // stopping at once with a click.
        if (!(level > 0.0f || subLevel_.lastGain() > 0.0f))
            return;
        float* sub = subBuffer_.data() + at;
        float* out = output_.data() + at;
        sub_.setFrequency(frequency * 0.5f);
        sub_.process(sub, length, sampleRate);
        subLevel_.process(sub, sub, length, level * level);
        Platform::Vdsp::add(out, sub, out, length);
    });
}

// The square's factor kSemitone^(0.2 detune), kept for the detune it was worked out for.
float OSC::squareShift(float detune)
{
    if (!(detune == squareDetune_)) {
        squareDetune_ = detune;
        squareFactor_ = std::pow(kSemitone, 0.2f * detune);
    }
    return squareFactor_;
}

void OSC::restartAll()
{
    saw_.restart(0.0f);
    square_.restart(0.0f);
    triangle_.restart(0.0f);
    sub_.restart(0.0f);
    crossfader_.reset();
    amplifier_.reset();
    subLevel_.reset();
    // A new note starts at the settings as they are.
    waveMix_.snapNext();
    modDepth_.snapNext();
    subShare_.snapNext();
    level_.snapNext();
}

void OSC::gateOn(VoicingType type)
{
    if (type == VoicingType::NewNote)
        restartAll();
    envelope_.gateOn(type);
}

void OSC::gateOff()
{
    envelope_.gateOff();
}

void OSC::kill()
{
    restartAll();
    envelope_.kill();
}

std::pair<float, bool> snapModRatio(float ratio)
{
    const int c = static_cast<int>(ratio * 100.0f) % 100;
    const int whole = static_cast<int>(ratio);
    const double n = whole;
    auto snapped = [](double v) { return std::pair<float, bool>(static_cast<float>(v), true); };
    if (c >= 24 && c <= 26)
        return snapped(n + 0.25);
    if (c >= 32 && c <= 34)
        return snapped(n + 0.333333333333333);
    if (c >= 49 && c <= 51)
        return snapped(n + 0.5);
    if (c >= 74 && c <= 76)
        return snapped(n + 0.75);
    if (c >= 0 && c <= 1)
        return snapped(n);
    if (c == 99)
        return snapped(n + 1.0);
    return {ratio, false};
}

} // namespace Lumora::Corvane::Module
