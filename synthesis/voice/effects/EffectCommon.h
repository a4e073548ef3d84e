#pragma once

#include <cmath>

#include "platform/vdsp/Vdsp.h"

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

// An effect LFO's wavelength for a rate setting r: 10 (1 - r)^3 + shortest seconds, from slow
// to fast.
inline float rateWavelength(float rate, float shortest)
{
    const float slow = 1.0f - rate;
    return 10.0f * slow * slow * slow + shortest;
}

} // namespace Lumora::Corvane::Module
