#pragma once

#include <string>

#include "engine/parameter/TypedParameters.h"

namespace Lumora::Corvane::ParameterBlocks {

// Attributes shared by the sound's parameters: every one of them travels in sound documents
// and in the full state.
inline constexpr SerializeWhat kSoundWhat = SerializeWhat::SoundParameters | SerializeWhat::GlobalSettings;

// Values written by the render thread for display only: hidden from the host and never
// initialized, read or written by a text.
inline constexpr Parameter::Options kReadbackOptions =
    Parameter::Options::HiddenFromHost | Parameter::Options::NoInitialize |
    Parameter::Options::NoDeserialize | Parameter::Options::NoSerialize;

// Observers hear of an LFO read-back only when it moved by at least 0.1 since its last report.
inline constexpr unsigned kLfoReadbackInterval = 1100;

// A UFloat 0..1 sound parameter.
struct UnitParameter : Parameter_UFloat {
    UnitParameter(ParameterManager* manager, int id, const std::string& displayName,
                  const std::string& key, float defaultValue);
};

// An SFloat -1..1 sound parameter.
struct BipolarParameter : Parameter_SFloat {
    BipolarParameter(ParameterManager* manager, int id, const std::string& displayName,
                     const std::string& key, float defaultValue);
};

// A UInt 0..maxValue sound parameter.
struct ChoiceParameter : Parameter_UInt {
    ChoiceParameter(ParameterManager* manager, int id, const std::string& displayName,
                    const std::string& key, unsigned defaultValue, unsigned maxValue);
};

// Display name and key of one parameter of a group.
struct Naming {
    int id;
    const char* displayName;
    const char* key;
};

// A rate parameter directly followed by the read-back of the LFO it drives; the read-back's
// id is the next one and its key the rate key followed by "_OUTPUT".
struct LFO {
    LFO(ParameterManager* manager, Naming rateNaming, float defaultRate = 0.5f);

    UnitParameter rate;
    Parameter_UFloat output;
};

// An envelope of attack and decay times (x² · 10 s).
struct AttackDecay {
    AttackDecay(ParameterManager* manager, Naming a, Naming d, float defaultAttack = 0.0f,
                float defaultDecay = 0.5f);

    UnitParameter attack;
    UnitParameter decay;
};

// An attack-decay-sustain-release envelope, all UFloat 0..1.
struct ADSR {
    ADSR(ParameterManager* manager, Naming a, Naming d, Naming s, Naming r, float defaultAttack,
         float defaultDecay, float defaultSustain, float defaultRelease);

    UnitParameter attack;
    UnitParameter decay;
    UnitParameter sustain;
    UnitParameter release;
};

} // namespace Lumora::Corvane::ParameterBlocks
