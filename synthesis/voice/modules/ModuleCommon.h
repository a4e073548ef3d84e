#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "engine/parameter/Parameter.h"
#include "engine/voice/NoteInformation.h"
#include "synthesis/dsp/common/LinearGlide.h"
#include "synthesis/dsp/envelope/ADSR.h"
#include "synthesis/dsp/shaper/Amplifier.h"
#include "synthesis/voice/parameters/ParameterGroups.h"

// Small pieces every voice module shares: how a parameter is read on the render thread, envelope
// times, the control-rate segmentation of a block with what each segment reads, and the
// exponential cutoff sweep.
namespace Lumora::Corvane::Module {

// Modulation is evaluated once per span of this many samples.
inline constexpr unsigned kControlBlock = 128;

// How a block meets the control spans. A block of at least a span (and every block of engine
// version 1) is Whole: it is cut into spans of its own and modulation is read at each one's start.
// Shorter blocks share spans: the first block of a span Opens it, where a module reads its
// settings and modulation as a block of the whole span would; the blocks that follow Continue it
// with those values held, doing only the per-sample work. A short block so costs little more per
// second than a whole span does.
enum class Span { Whole, Opens, Continues };

// A setting that shapes a sounding voice glides to a new value over this time instead of
// stepping: long enough that even a jump across the whole range makes no click, short enough
// that a knob still answers at once.
inline constexpr float kGlideSeconds = 0.01f;
// While a setting glides, a segment is rendered in spans of this many samples, each at the
// glide's value where the span ends.
inline constexpr unsigned kGlideSpan = 16;

inline unsigned glideFrames(float sampleRate)
{
    const float frames = kGlideSeconds * sampleRate;
    return frames > 1.0f ? static_cast<unsigned>(frames + 0.5f) : 1u;
}

// Calls fn(offset, length) for the glide spans of n samples starting at offset.
template <class Fn>
void forEachGlideSpan(unsigned offset, unsigned n, Fn&& fn)
{
    for (unsigned done = 0; done < n; done += kGlideSpan)
        fn(offset + done, n - done < kGlideSpan ? n - done : kGlideSpan);
}

// Calls fn(offset, length, value) over n samples from offset at a glide's value: once for all of
// them while the glide stands (exactly what a setting that never glides renders), span by span
// while it moves, each span at the value where it ends. Stages that ramp from their last value
// across a call (amplifiers, panners, crossfaders) so follow the glide's line.
template <class Fn>
void forEachGlideSpanOf(DSP::LinearGlide& glide, unsigned offset, unsigned n, Fn&& fn)
{
    if (!glide.gliding()) {
        fn(offset, n, glide.value());
        return;
    }
    forEachGlideSpan(offset, n, [&](unsigned at, unsigned length) { fn(at, length, glide.advance(length)); });
}

// The same over a whole block of frames.
template <class Fn>
void forEachGlideValue(DSP::LinearGlide& glide, unsigned frames, Fn&& fn)
{
    forEachGlideSpanOf(glide, 0u, frames, fn);
}

// Scales out in place by a gliding gain.
inline void applyGlidingGain(DSP::LinearGlide& gain, DSP::Amplifier& amplifier, float* out, unsigned frames)
{
    forEachGlideValue(gain, frames, [&](unsigned at, unsigned length, float value) {
        amplifier.process(out + at, out + at, length, value);
    });
}

// Scales out in place by scale times the square of a gliding level.
inline void applyGlidingLevel(DSP::LinearGlide& level, DSP::Amplifier& amplifier, float* out, unsigned frames,
                              float scale = 1.0f)
{
    forEachGlideValue(level, frames, [&](unsigned at, unsigned length, float value) {
        amplifier.process(out + at, out + at, length, scale * value * value);
    });
}

// x limited to [0, 1]; NaN gives 0.
inline float clamp01(float x)
{
    return x > 0.0f ? (x < 1.0f ? x : 1.0f) : 0.0f;
}

// A parameter's normalized value as the render thread reads it: the atomic, limited to [0, 1].
inline float unit(const Parameter& p)
{
    return clamp01(p.normalizedValue());
}

// A bipolar parameter's value, 2x - 1, in [-1, 1].
inline float bipolar(const Parameter& p)
{
    return 2.0f * unit(p) - 1.0f;
}

// An integer parameter's value: the integer nearest to 127x (halves away from zero), 127 above 1.
inline unsigned choice(const Parameter& p)
{
    const float x = p.normalizedValue();
    if (x > 1.0f)
        return 127;
    if (!(x > 0.0f))
        return 0;
    // lround without the library call: below 2^23 the fraction v - trunc(v) is exact.
    const float v = 127.0f * x;
    const auto whole = static_cast<unsigned>(v);
    return v - static_cast<float>(whole) >= 0.5f ? whole + 1 : whole;
}

// Envelope times are x^2 * 10 seconds.
inline float envelopeSeconds(float x)
{
    return x * x * 10.0f;
}

// An attack-decay envelope's stages from its group: attack, then a fall to 0 over the decay time,
// released over the decay time too. A decay at its top holds the level while the key is down.
inline void setAttackDecay(DSP::ENV::ADSR& envelope, const ParameterBlocks::AttackDecay& times)
{
    const float a = unit(times.attack);
    const float d = unit(times.decay);
    if (d == 1.0f)
        envelope.setADSR(envelopeSeconds(a), 0.0f, 1.0f, 10.0f);
    else
        envelope.setADSR(envelopeSeconds(a), envelopeSeconds(d), 0.0f, envelopeSeconds(d));
}

// Eight octaves of exponential sweep on [0, 1]: (2^(8y - 8) - 1/256) / (255/256), 0 at 0 and 1 at 1.
inline float cutoffCurve(float y)
{
    return (std::exp2(8.0f * y - 8.0f) - 1.0f / 256.0f) / (255.0f / 256.0f);
}

// Grows a buffer to at least n samples and never shrinks it. Modules size every buffer for the
// largest block when render resources are allocated, so this allocates only for a longer block.
inline float* grow(std::vector<float>& buffer, std::size_t n)
{
    if (buffer.size() < n)
        buffer.resize(n);
    return buffer.data();
}

// Engine version 1 samples modulation once per block; every other version (0 stands for the
// current one) per control segment.
inline bool isFirstEngineVersion(unsigned engineVersion)
{
    return engineVersion == 1;
}

// Whether a block is rendered as one segment evaluated at its start.
inline bool isSingleSegment(unsigned frames, unsigned engineVersion)
{
    return frames <= kControlBlock || isFirstEngineVersion(engineVersion);
}

// Calls fn(offset, length) for each control segment of a block. A block of at most 128 frames,
// and every block of engine version 1, is one segment; otherwise segments of 128 samples follow
// one another and the last one takes the rest once fewer than 256 frames remain, so that no
// segment is shorter than 128 samples.
template <class Fn>
void forEachSegment(unsigned frames, unsigned engineVersion, Fn&& fn)
{
    if (isSingleSegment(frames, engineVersion)) {
        fn(0u, frames);
        return;
    }
    unsigned offset = 0;
    while (frames - offset >= 2 * kControlBlock) {
        fn(offset, kControlBlock);
        offset += kControlBlock;
    }
    fn(offset, frames - offset);
}

// A modulation source's level for the control segment at offset (an envelope or an LFO that ran
// over the block): a block rendered as one segment reads the source's block value, a segment the
// level at its first sample.
template <class Source>
float segmentLevel(const Source& source, bool wholeBlock, unsigned offset)
{
    return wholeBlock ? source.level() : source.level(offset);
}

// The voice's frequency for the control segment at offset: the block's note frequency for a block
// rendered as one segment or when no provider follows the pitch within the block.
inline float segmentFrequency(const NoteInformation& note, bool wholeBlock, unsigned offset)
{
    return wholeBlock || note.frequencyProvider == nullptr ? note.frequency : note.frequencyProvider->frequency(offset);
}

// What a module that rests over a block still does: ask for the pitch of each segment. The pitch
// module draws its jitter from one generator for all voices, once per query, so a module that
// stopped asking would shift every other voice's jitter.
inline void followSegmentPitches(const NoteInformation& note, unsigned frames, unsigned engineVersion)
{
    const bool wholeBlock = isSingleSegment(frames, engineVersion);
    forEachSegment(frames, engineVersion,
                   [&](unsigned offset, unsigned) { static_cast<void>(segmentFrequency(note, wholeBlock, offset)); });
}

} // namespace Lumora::Corvane::Module
