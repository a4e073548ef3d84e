#pragma once

#include <cstdint>

#include "synthesis/voice/parameters/ParameterGroups.h"

// The parameter blocks of the voice modules. Each block is built against the engine's parameter
// manager; its members are declared, and so built and registered, in the order the table lists
// them. Modules read the members' normalized values on the render thread.
namespace Lumora::Corvane::ParameterBlocks {

struct Pitch {
    explicit Pitch(ParameterManager* manager);

    UnitParameter drift;          // PITCH_DRIFT
    BipolarParameter envDepth;    // PITCH_ENV_DEPTH
    UnitParameter lfoDepth;       // PITCH_LFO_DEPTH
    AttackDecay env;              // PITCH_ENV_A, PITCH_ENV_D
    LFO lfo;                      // PITCH_LFO_RATE
};

struct Osc {
    explicit Osc(ParameterManager* manager);

    ChoiceParameter modType;      // OSC_MOD_TYPE: FM index 0.548 or 1.0
    UnitParameter modDepth;       // OSC_MOD_DEPTH: FM mix
    UnitParameter modFreq;        // OSC_MOD_FREQ: FM ratio
    BipolarParameter modEnvDepth; // OSC_MOD_ENV_DEPTH
    UnitParameter modLfoDepth;    // OSC_MOD_LFO_DEPTH
    ChoiceParameter modTarget;    // OSC_MOD_TRAGET: 0 FM mix, 1 FM ratio
    UnitParameter subLevel;       // OSC_SUB_LEVEL
    BipolarParameter waveMix;     // OSC_WAVEMIX: saw -1, triangle 0, square +1
    BipolarParameter waveEnv;     // OSC_WAVE_ENV
    UnitParameter waveLfo;        // OSC_WAVE_LFO
    AttackDecay env;              // OSC_MOD_ENV_A, OSC_MOD_ENV_D
    LFO lfo;                      // OSC_MOD_LFO_RATE
    UnitParameter detune;         // OSC_DETUNE
    UnitParameter level;          // OSC_LEVEL
};

struct Noise {
    explicit Noise(ParameterManager* manager);

    ChoiceParameter type;         // NOISE_TYPE: 0..5
    UnitParameter level;          // NOISE_LEVEL
    AttackDecay env;              // NOISE_ATTACK, NOISE_DECAY
};

struct Resonator {
    explicit Resonator(ParameterManager* manager);

    UnitParameter wetOsc;         // RESONATOR_WETOSC
    UnitParameter wetNoise;       // RESONATOR_WETNOISE
    BipolarParameter pitch;       // RESONATOR_PITCH
    BipolarParameter pitchEnv;    // RESONATOR_PITCH_ENV
    UnitParameter pitchLfo;       // RESONATOR_PITCH_LFO
    BipolarParameter feedback;    // RESONATOR_FEEDBACK
    BipolarParameter envDepth;    // RESONATOR_ENV_DEPTH: envelope on the feedback
    UnitParameter lfoDepth;       // RESONATOR_LFO_DEPTH: LFO on the feedback
    UnitParameter lpf;            // RESONATOR_LPF
    AttackDecay env;              // RESONATOR_ENV_A, RESONATOR_ENV_D
    LFO lfo;                      // RESONATOR_LFO_RATE
    ChoiceParameter outputRoute;  // RESONATOR_OUTPUTROUTE: 1 through the filter, 0 around it
};

struct Filter {
    explicit Filter(ParameterManager* manager);

    ChoiceParameter type;         // FILTER_TYPE: 0 one stage, 1 two stages
    UnitParameter freq;           // FILTER_FREQ
    UnitParameter velo;           // FILTER_VELO
    UnitParameter key;            // FILTER_KEY
    BipolarParameter envDepth;    // FILTER_ENV_DEPTH
    UnitParameter lfoDepth;       // FILTER_LFO_DEPTH
    UnitParameter reso;           // FILTER_RESO
    BipolarParameter low;         // FILTER_LOW
    UnitParameter drive;          // FILTER_DRIVE
    // The drive stage's saturator: 1 selects the asymmetric one.
    uint32_t saturatorType = 1;
    ADSR env;                     // FILTER_ENV_A, _D, _S, _R
    LFO lfo;                      // FILTER_LFO_RATE
};

struct AMP {
    explicit AMP(ParameterManager* manager);

    UnitParameter level;          // AMP_LEVEL
    UnitParameter velocity;       // AMP_VELOCITY
    ADSR env;                     // AMP_ENV_A, _D, _S, _R
};

} // namespace Lumora::Corvane::ParameterBlocks
