#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/common/SettingsKey.h"

// Small pieces the effect modules share.
namespace Lumora::Corvane::Module {

// A sample rate the effects can derive times and frequencies from.
inline bool isUsableSampleRate(float sampleRate)
{
    return std::isfinite(sampleRate) && sampleRate > 0.0f;
}

// Copies each input to its output unless they are one buffer.
inline void passThrough(float* outL, float* outR, const float* inL, const float* inR, unsigned frames)
{
    if (outL != inL)
        Platform::Vdsp::copy(inL, outL, frames);
    if (outR != inR)
        Platform::Vdsp::copy(inR, outR, frames);
}

// Frames a send effect's output must stay below kRestThreshold, over a send of 0, before it may
// rest: longer than any of its lines, or any chain of them, can hold a sound (the longest is the
// delay's 131072 samples; the stereo reverb's lines in series come to about 150000).
constexpr unsigned kQuietFramesBeforeRest = 1u << 18;
constexpr float kRestThreshold = 1e-9f;

// When a send effect may rest: its send closed (its ramp settled at 0) and its engine holding
// nothing, either cleared or its wet signal quiet for kQuietFramesBeforeRest frames.
struct SendRest {
    // Frames the wet signal has stayed below the rest threshold with the send closed.
    unsigned long long quietFrames = 0;
    // The engine holds nothing: after a reset or a clear on going to rest, until a block runs.
    bool cleared = true;
    // Whether the last block rested.
    bool resting = false;
    // An effect that may not rest always runs in full (for comparisons and measurements).
    bool allowed = true;

    bool may(bool sendClosed) const
    {
        return allowed && sendClosed && (cleared || quietFrames >= kQuietFramesBeforeRest);
    }
    // The engine was cleared.
    void clear()
    {
        quietFrames = 0;
        cleared = true;
    }
    // A block ran; closedAndQuiet: its send was closed and its wet signal quiet throughout.
    void ran(bool closedAndQuiet, unsigned frames)
    {
        cleared = false;
        quietFrames = closedAndQuiet ? quietFrames + frames : 0;
    }
};

// Whether every sample of a block lies below kRestThreshold.
inline bool quiet(const float* x, unsigned frames)
{
    float largest = 0.0f;
    for (unsigned i = 0; i < frames; ++i)
        largest = std::fmax(largest, std::fabs(x[i]));
    return largest < kRestThreshold;
}

// out = in + 0, what a send effect gives over its silent internals: the sum is the dry signal
// (the running effect's in + wet, with wet exactly 0). out may be in.
inline void addSilence(float* out, const float* in, unsigned frames)
{
    for (unsigned i = 0; i < frames; ++i)
        out[i] = in[i] + 0.0f;
}

// The effects keep what they work out from their settings in the library's key.
using DSP::SettingsKey;

// Whether a gain stage whose last block ended on `last` stands at `gain`: the same bits, and
// finite, so that the stage takes it as it is. A block of 0 samples at that gain, which only
// moves a stage to its gain, would then change nothing.
inline bool standsAt(float last, float gain)
{
    std::uint32_t a;
    std::uint32_t b;
    std::memcpy(&a, &last, sizeof a);
    std::memcpy(&b, &gain, sizeof b);
    return a == b && std::isfinite(gain);
}

// An effect LFO's wavelength for a rate setting r: 10 (1 - r)^3 + shortest seconds, from slow
// to fast.
inline float rateWavelength(float rate, float shortest)
{
    const float slow = 1.0f - rate;
    return 10.0f * slow * slow * slow + shortest;
}

} // namespace Lumora::Corvane::Module
