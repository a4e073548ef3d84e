#pragma once

#include <initializer_list>

#include "synthesis/voice/parameters/EffectParameterBlocks.h"
#include "synthesis/voice/parameters/ParameterGroups.h"
#include "synthesis/voice/parameters/VoiceParameterBlocks.h"

namespace Lumora::Corvane {

// The sound's parameters, one block per voice module and effect, registered with the engine's
// parameter manager in the order of the members below. The engine's master and common
// parameters are not part of it: the engine base creates them when an audio I/O attaches.
// Members are destroyed in reverse order, each leaving the manager as it goes.
class Parameters {
public:
    using LFO = ParameterBlocks::LFO;
    using AttackDecay = ParameterBlocks::AttackDecay;
    using ADSR = ParameterBlocks::ADSR;
    using Pitch = ParameterBlocks::Pitch;
    using Osc = ParameterBlocks::Osc;
    using Noise = ParameterBlocks::Noise;
    using Resonator = ParameterBlocks::Resonator;
    using Filter = ParameterBlocks::Filter;
    using AMP = ParameterBlocks::AMP;
    using Chorus = ParameterBlocks::Chorus;
    using Delay = ParameterBlocks::Delay;
    using DelayFilter = ParameterBlocks::DelayFilter;
    using Reverb = ParameterBlocks::Reverb;

    // Rewrites keys of older texts into current ones (ParametersConverter.h).
    class Converter;

    // The host's overview: cutoff, resonance, drive, filter envelope depth, filter attack,
    // filter decay, wave position, FM mix, FM ratio, resonator tuning.
    static constexpr std::initializer_list<int> importantIndexes = {
        10501, 10506, 10508, 10502, 10509, 10510, 10200, 10204, 10205, 10402};

    explicit Parameters(ParameterManager* manager);

    Parameters(const Parameters&) = delete;
    Parameters& operator=(const Parameters&) = delete;

    Pitch pitch;
    Osc osc;
    Noise noise;
    Resonator resonator;
    Filter filter;
    AMP amp;
    Chorus chorus;
    Delay delay;
    Reverb reverb;
    // Read-back of the number of active voices, written by the render thread after each block.
    Parameter_UInt voiceCount;
};

} // namespace Lumora::Corvane
