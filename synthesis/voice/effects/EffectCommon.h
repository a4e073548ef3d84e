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

// An effect LFO's wavelength for a rate setting r: 10 (1 - r)^3 + shortest seconds, from slow
// to fast.
inline float rateWavelength(float rate, float shortest)
{
    const float slow = 1.0f - rate;
    return 10.0f * slow * slow * slow + shortest;
}

} // namespace Lumora::Corvane::Module
