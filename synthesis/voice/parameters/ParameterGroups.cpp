#include "synthesis/voice/parameters/ParameterGroups.h"

namespace Lumora::Corvane::ParameterBlocks {

UnitParameter::UnitParameter(ParameterManager* manager, int id, const std::string& displayName,
                             const std::string& key, float defaultValue)
    : Parameter_UFloat(manager, id, displayName, key, defaultValue, 0.0f, 1.0f,
                       Parameter::Options::None, kSoundWhat, 0) {}

BipolarParameter::BipolarParameter(ParameterManager* manager, int id,
                                   const std::string& displayName, const std::string& key,
                                   float defaultValue)
    : Parameter_SFloat(manager, id, displayName, key, defaultValue, -1.0f, 1.0f,
                       Parameter::Options::None, kSoundWhat, 0) {}

ChoiceParameter::ChoiceParameter(ParameterManager* manager, int id,
                                 const std::string& displayName, const std::string& key,
                                 unsigned defaultValue, unsigned maxValue)
    : Parameter_UInt(manager, id, displayName, key, defaultValue, 0, maxValue,
                     Parameter::Options::None, kSoundWhat, 0) {}

LFO::LFO(ParameterManager* manager, Naming r, float defaultRate)
    : rate(manager, r.id, r.displayName, r.key, defaultRate),
      output(manager, r.id + 1, "", std::string(r.key) + "_OUTPUT", 0.0f, 0.0f, 1.0f,
             kReadbackOptions, SerializeWhat::None, kLfoReadbackInterval) {}

AttackDecay::AttackDecay(ParameterManager* manager, Naming a, Naming d, float defaultAttack,
                         float defaultDecay)
    : attack(manager, a.id, a.displayName, a.key, defaultAttack),
      decay(manager, d.id, d.displayName, d.key, defaultDecay) {}

ADSR::ADSR(ParameterManager* manager, Naming a, Naming d, Naming s, Naming r,
           float defaultAttack, float defaultDecay, float defaultSustain, float defaultRelease)
    : attack(manager, a.id, a.displayName, a.key, defaultAttack),
      decay(manager, d.id, d.displayName, d.key, defaultDecay),
      sustain(manager, s.id, s.displayName, s.key, defaultSustain),
      release(manager, r.id, r.displayName, r.key, defaultRelease) {}

} // namespace Lumora::Corvane::ParameterBlocks
