#include "engine/synth/SynthCommonParameters.h"

#include <algorithm>

namespace Lumora {

namespace {

using Opt = Parameter::Options;
constexpr unsigned kEveryChange = 0;
// The integer range of a UInt parameter.
constexpr unsigned kMaxUInt = 127;

const SerializeWhat kMaster = SerializeWhat::GlobalSettings;
const SerializeWhat kCommon = SerializeWhat::GlobalSettings | SerializeWhat::SoundParameters;

} // namespace

iSynthAudioEngine::SynthCommonParameters::Master::Master(ParameterManager* manager,
                                                          unsigned capacity,
                                                          unsigned defaultPolyphony)
    : transpose(manager, Transpose, "Master Transpose", "MASTER_TRANSPOSE", 0, -12, 12, Opt::None,
                kMaster, kEveryChange),
      tune(manager, Tune, "Master Tune", "MASTER_TUNE", 0.0f, -1.0f, 1.0f, Opt::None, kMaster,
           kEveryChange),
      maxPolyphony(manager, MaxPolyphony, "Maximum Polyphony", "MASTER_MAX_POLYPHONY",
                   std::clamp(defaultPolyphony, 1u, std::clamp(capacity, 1u, kMaxUInt)), 1,
                   std::clamp(capacity, 1u, kMaxUInt), Opt::None, kMaster, kEveryChange) {}

iSynthAudioEngine::SynthCommonParameters::Common::PitchBendRange::PitchBendRange(
    ParameterManager* manager)
    : negative(manager, PitchBendNegative, "Pitch Bend Range (-)", "COMMON_PB_NEGATIVE", 1, 0, 11,
               Opt::None, kCommon, kEveryChange),
      positive(manager, PitchBendPositive, "Pitch Bend Range (+)", "COMMON_PB_POSITIVE", 1, 0, 11,
               Opt::None, kCommon, kEveryChange) {}

iSynthAudioEngine::SynthCommonParameters::Common::Common(ParameterManager* manager)
    : volume(manager, Volume, "Volume", "COMMON_VOLUME", 0.5f, 0.0f, 1.0f, Opt::None, kCommon,
             kEveryChange),
      portamento(manager, Portamento, "Portamento", "COMMON_PORTAMENTO", 0.0f, 0.0f, 1.0f,
                 Opt::None, kCommon, kEveryChange),
      octave(manager, Octave, "Octave", "COMMON_OCTAVE", 0, -2, 2, Opt::None, kCommon,
             kEveryChange),
      pitchBendRange(manager),
      monoMode(manager, MonoMode, "MonoMode", "COMMON_MONOMODE", 0, 0, 2, Opt::None, kCommon,
               kEveryChange),
      arpeggiator(manager, Arpeggiator, "Arpeggiator", "COMMON_ARPEGGIATOR", false, Opt::None,
                  SerializeWhat::ArpeggiatorPart, kEveryChange),
      keyboardHold(manager, KeyboardHold, "Keyboard Hold", "KEYBOARD_HOLD", false,
                   Opt::NoInitialize | Opt::NoDeserialize | Opt::NoSerialize,
                   SerializeWhat::None, kEveryChange) {}

} // namespace Lumora
