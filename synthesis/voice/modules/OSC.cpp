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
// Each wave's own scale by its crossfader input; the triangle takes none (0).
constexpr float kWaveScales[3] = {kSawScale, 0.0f, kSquareScale};
constexpr float kTriangleRatioScale = 1.5f;
constexpr float kMinimumRatio = 0.01f;
constexpr float kSemitone = 1.059463094359f;
constexpr int kDetuneKey = 0;

// Sets every voice of a group for one segment. Inline: at longer blocks every segment sets one.
template <class G>
[[gnu::always_inline]] inline void configureGroup(G& group, float frequency, float ratio, float index, float mix, float detune,
                    unsigned oversampling)
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
}

// Whether two segments set a group's voices alike but for their frequency.
bool sameShape(const OSC::Segment& a, const OSC::Segment& b)
{
    return a.mix == b.mix && a.ratio == b.ratio && a.index == b.index && a.detune == b.detune &&
           a.oversampling == b.oversampling;
}

bool operator==(const OSC::Segment& a, const OSC::Segment& b)
{
    return a.frequency == b.frequency && a.position == b.position && sameShape(a, b);
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
    grownFrames_ = std::max(grownFrames_, maxFrames);
    saw_.reserve(maxFrames);
    square_.reserve(maxFrames);
    triangle_.reserve(maxFrames);
}

// A group whose voices hold the segment's shape (all but its frequency and position) from an earlier
// segment takes the new frequency alone: everything else configureGroup writes would store the
// values the voices hold, and the modulator it sets from the old frequency is set again from the new.
template <class G>
[[gnu::always_inline]] inline void OSC::configure(G& group, unsigned bit, float frequency, float ratio,
                                                  const Segment& s)
{
    if ((shapedGroups_ & bit) != 0) {
        group.setFrequency(frequency);
        return;
    }
    configureGroup(group, frequency, ratio, s.index, s.mix, s.detune, s.oversampling);
    shapedGroups_ |= bit;
}

// Only the groups the position can hear are rendered; the others' phases stand still. A group the
// crossfader weighs above 0 is always among them. kUnchanged: the last block rendered the same
// groups for the same segment (see renderSteady).
template <bool kUnchanged>
[[gnu::always_inline]] inline void OSC::renderGroups(float* const waves[3], unsigned n, float sampleRate,
                                                     const Segment& s)
{
    const auto render = [&](auto& group, float* wave) {
        if constexpr (kUnchanged)
            group.processUnchanged(wave, n, sampleRate);
        else
            group.process(wave, n, sampleRate);
    };
    // Groups the last block rendered for this segment were configured for it then.
    const float p = s.position;
    if (p >= 0.0f && p < 0.5f) {
        if (!kUnchanged && needsConfiguring(kSawGroup))
            configure(saw_, kSawGroup, s.frequency, s.ratio, s);
        render(saw_, waves[0]);
    }
    if (p > 0.0f && p < 1.0f) {
        if (!kUnchanged && needsConfiguring(kTriangleGroup))
            configure(triangle_, kTriangleGroup, s.frequency, kTriangleRatioScale * s.ratio, s);
        render(triangle_, waves[1]);
    }
    if (p > 0.5f && p <= 1.0f) {
        // The square sits 0.2 * detune semitones above the others.
        if (!kUnchanged && needsConfiguring(kSquareGroup))
            configure(square_, kSquareGroup, s.frequency * squareShift(s.detune), s.ratio, s);
        render(square_, waves[2]);
    }
}

const float* OSC::process(unsigned frames, float sampleRate, const Clock&, const NoteInformation& note,
                          const Parameters::Osc& params, const DSP::LFO& lfo, unsigned engineVersion,
                          AudioQuality quality, Span span)
{
    // The usual short block first, ahead of the set-up every other block needs.
    if (span == Span::Continues && steady_ && frames != 0 && frames <= grownFrames_) {
        envelope_.owe(frames);
        renderSteady(frames, sampleRate);
        return output_.data();
    }
    return processBlock(frames, sampleRate, note, params, lfo, engineVersion, quality, span);
}

const float* OSC::processBlock(unsigned frames, float sampleRate, const NoteInformation& note,
                               const Parameters::Osc& params, const DSP::LFO& lfo, unsigned engineVersion,
                               AudioQuality quality, Span span)
{
    growBuffers(frames);
    float* out = output_.data();
    if (frames == 0)
        return out;

    steady_ = false;
    if (span == Span::Continues) {
        envelope_.owe(frames);
        renderHeldSpan(frames, sampleRate);
    } else if (span == Span::Opens) {
        // The envelope catches up with the times of the span gone by before it takes new ones.
        const float env = envelope_.openSpan(sampleRate);
        setAttackDecay(envelope_.adsr(), params.env);
        envelope_.owe(frames);
        readSettings(params, engineVersion, quality, sampleRate);
        hold(env, lfo.level(), note.frequency);
        renderHeldSpan(frames, sampleRate);
    } else {
        setAttackDecay(envelope_.adsr(), params.env);
        envelope_.runBlock(frames, sampleRate);
        readSettings(params, engineVersion, quality, sampleRate);
        const bool gliding = isGliding();
        const bool wholeBlock = isSingleSegment(frames, engineVersion);
        levelGain_ = heldLevelGain();
        forEachSegment(frames, engineVersion, [&](unsigned offset, unsigned n) {
            const float env = segmentLevel(envelope_.adsr(), wholeBlock, offset);
            const float l = segmentLevel(lfo, wholeBlock, offset);
            hold(env, l, segmentFrequency(note, wholeBlock, offset));
            renderSpan(offset, n, sampleRate, gliding);
        });
    }

    // A level that held was applied with the waves (see heldLevelGain).
    if (!(levelGain_ > 0.0f))
        applyGlidingLevel(level_, amplifier_, out, frames);
    return out;
}

// A block of a span, at the level and settings the span holds. A block that neither glided nor
// mixed waves, at a level that held, leaves the next block of the span steady.
void OSC::renderHeldSpan(unsigned frames, float sampleRate)
{
    levelGain_ = heldLevelGain();
    const bool gliding = isGliding();
    renderSpan(0, frames, sampleRate, gliding);
    steady_ = !gliding && levelGain_ > 0.0f && soleWave_ >= 0;
    findSteadyWave();
}

// A block continuing a span whose last block neither glided nor mixed waves, and whose level held:
// its segment, and so every group's settings, the crossfade and the level, are those of that
// block, and the sub stays silent (see heldLevelGain). Only the groups' samples are new.
void OSC::renderSteady(unsigned n, float sampleRate)
{
    // scaleWave's products with the level held (levelGain_ > 0), taken in the wave's reads.
    float* out = output_.data();
    switch (steadyGroup_) {
    case 0:
        saw_.voices[0].plain.processScaled(out, n, sampleRate, kSawScale, steadyWeight_, levelGain_);
        return;
    case 1:
        triangle_.voices[0].plain.processScaled(out, n, sampleRate, steadyWeight_, levelGain_);
        return;
    case 2:
        square_.voices[0].plain.processScaled(out, n, sampleRate, kSquareScale, steadyWeight_, levelGain_);
        return;
    default:
        break;
    }
    float* const waves[3] = {sawBuffer_.data(), triangleBuffer_.data(), squareBuffer_.data()};
    renderGroups<true>(waves, n, sampleRate, configured_);
    scaleWave(out, waves[soleWave_], n, kWaveScales[soleWave_], steadyWeight_);
}

// Where a steady block's position hears one group alone (0, 0.5 or 1), and that group's
// processUnchanged would go straight to its centre voice's plain wave, nothing on the way there
// changes while the span holds: the blocks that follow render that wave directly.
void OSC::findSteadyWave()
{
    steadyGroup_ = -1;
    if (!steady_)
        return;
    const auto playsPlainAlone = [](auto& group) {
        auto* voice = group.unchangedSole();
        return voice && voice->unchangedPlain();
    };
    const float p = configured_.position;
    if (p == 0.0f && playsPlainAlone(saw_))
        steadyGroup_ = 0;
    else if (p == 0.5f && playsPlainAlone(triangle_))
        steadyGroup_ = 1;
    else if (p == 1.0f && playsPlainAlone(square_))
        steadyGroup_ = 2;
}

// The buffers only grow, so that a block no longer than one before needs no look at their sizes.
void OSC::growBuffers(unsigned frames)
{
    if (frames <= grownFrames_)
        return;
    for (auto* b : {&output_, &sawBuffer_, &squareBuffer_, &triangleBuffer_, &subBuffer_})
        grow(*b, frames);
    grownFrames_ = frames;
}

void OSC::readSettings(const Parameters::Osc& params, unsigned engineVersion, AudioQuality quality, float sampleRate)
{
    Settings& k = settings_;
    k.waveEnv = bipolar(params.waveEnv);
    k.waveLfo = unit(params.waveLfo);
    k.modEnv = bipolar(params.modEnvDepth);
    k.modLfo = unit(params.modLfoDepth);
    if (!isFirstEngineVersion(engineVersion))
        k.modLfo *= k.modLfo;
    const float modFreq = unit(params.modFreq);
    k.ratio = 4.0f * modFreq * modFreq;
    if (isFirstEngineVersion(engineVersion))
        k.ratio = snapModRatio(k.ratio).first;
    k.target = choice(params.modTarget);
    k.index = choice(params.modType) == 0 ? 0.548f : 1.0f;
    k.detune = unit(params.detune);
    const auto q = static_cast<int>(quality);
    k.oversampling = q <= 0 ? OVERSAMPLE_NONE : q == 1 ? OVERSAMPLE_2X : OVERSAMPLE_4X;

    const unsigned glide = glideFrames(sampleRate);
    waveMix_.setTarget(bipolar(params.waveMix), glide);
    modDepth_.setTarget(unit(params.modDepth), glide);
    subShare_.setTarget(unit(params.subLevel), glide);
    level_.setTarget(unit(params.level), glide);
}

bool OSC::isGliding() const
{
    return waveMix_.gliding() || modDepth_.gliding();
}

void OSC::hold(float env, float lfo, float frequency)
{
    held_.env = env;
    held_.lfo = 2.0f * lfo - 1.0f;
    held_.frequency = frequency;
    held_.mod = env * settings_.modEnv + settings_.modLfo * held_.lfo;
}

// The waves and the sub over n samples from offset with the modulation held; while the wave
// position or the FM mix glides, the waves go in glide spans, each at the glide's value.
void OSC::renderSpan(unsigned offset, unsigned n, float sampleRate, bool gliding)
{
    const Settings& k = settings_;
    const Held& h = held_;
    const auto render = [&](unsigned at, unsigned length) {
        Segment s;
        s.frequency = h.frequency;
        s.position = clamp01((waveMix_.value() + h.env * k.waveEnv + 0.5f * k.waveLfo * h.lfo + 1.0f) * 0.5f);
        s.mix = k.target == 0 ? modDepth_.value() + h.mod : modDepth_.value();
        s.ratio = k.target == 1 ? k.ratio + 0.4f * h.mod : k.ratio;
        s.index = k.index;
        s.detune = k.detune;
        s.oversampling = k.oversampling;
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
    renderSub(offset, n, sampleRate, h.frequency);
}

void OSC::renderSegment(unsigned offset, unsigned n, float sampleRate, const Segment& s)
{
    float* out = output_.data() + offset;
    float* saw = sawBuffer_.data() + offset;
    float* square = squareBuffer_.data() + offset;
    float* triangle = triangleBuffer_.data() + offset;
    const float p = s.position;
    if (!(s == configured_)) {
        if (!sameShape(s, configured_))
            shapedGroups_ = 0;
        configured_ = s;
        configuredGroups_ = 0;
    }
    float* const waves[3] = {saw, triangle, square};
    renderGroups<false>(waves, n, sampleRate, s);
    int sole = -1;
    const float weight = n > 0 ? crossfader_.steadySoleWeight(p, kWaveCurve, sole) : 0.0f;
    if (weight > 0.0f) {
        // The usual block, one wave alone at a steady weight: its scale, the weight and the level
        // in one pass, the same products in the same order as the passes below.
        scaleWave(out, waves[sole], n, kWaveScales[sole], weight);
        // A wave fading in (its last weight 0) does not take part yet, but would in a repeat of
        // this block: only a crossfade settled on the sole wave repeats as it is.
        soleWave_ = sole;
        for (int k = 0; k < 3; ++k)
            if (k != sole && crossfader_.lastWeight(k) > 0.0f)
                soleWave_ = -1;
        steadyWeight_ = weight;
        return;
    }
    soleWave_ = -1;
    if (p >= 0.0f && p < 0.5f)
        Platform::Vdsp::scale(saw, kSawScale, saw, n);
    if (p > 0.5f && p <= 1.0f)
        Platform::Vdsp::scale(square, kSquareScale, square, n);
    crossfader_.process(out, saw, triangle, square, n, p, kWaveCurve);
    if (levelGain_ > 0.0f)
        Platform::Vdsp::scale(out, levelGain_, out, n);
}

// out = wave scaled by its own factor (none at 0), by its weight and, when the level holds over
// the block, by the level.
void OSC::scaleWave(float* out, const float* wave, unsigned n, float waveScale, float weight) const
{
    namespace Vdsp = Platform::Vdsp;
    if (waveScale == 0.0f) {
        if (levelGain_ > 0.0f)
            Vdsp::scaleTwiceWide(wave, weight, levelGain_, out, n);
        else
            Vdsp::scale(wave, weight, out, n);
    } else if (levelGain_ > 0.0f) {
        Vdsp::scaleThriceWide(wave, waveScale, weight, levelGain_, out, n);
    } else {
        Vdsp::scaleTwiceWide(wave, waveScale, weight, out, n);
    }
}

// The level's gain when the waves may take it in their own pass: it holds over the block, the
// amplifier would only scale by it, and nothing is added to the waves before it (the sub is
// silent, as renderSub finds it). 0 when the level goes in a pass of its own.
float OSC::heldLevelGain() const
{
    if (level_.gliding() || subShare_.gliding() || subShare_.value() > 0.0f || subLevel_.lastGain() > 0.0f)
        return 0.0f;
    const float v = level_.value();
    return amplifier_.holds(1.0f * v * v) ? amplifier_.lastGain() : 0.0f;
}

// A group's settings are plain values that stay until set again: a group already set for the
// segment it renders is not set again, as in every short block of a held span.
bool OSC::needsConfiguring(unsigned group)
{
    const bool needed = (configuredGroups_ & group) == 0;
    configuredGroups_ |= group;
    return needed;
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
    configuredGroups_ = 0;
    shapedGroups_ = 0;
    steady_ = false;
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
