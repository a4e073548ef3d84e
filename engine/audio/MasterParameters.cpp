#include "engine/audio/MasterParameters.h"

namespace Lumora {

namespace {
using Opt = Parameter::Options;
constexpr unsigned kEveryChange = 0;
} // namespace

iAudioEngine::CommonParameters::Master::Master(ParameterManager* manager)
    : masterVolume(manager, MasterVolume, "Master Volume", "MASTER_VOLUME", 0.75f, 0.0f, 1.0f,
                   Opt::None, SerializeWhat::GlobalSettings, kEveryChange),
      audioEngineVersion(manager, AudioEngineVersion, "Audio Engine Version",
                         "AUDIO_ENGINE_VERSION", 0, 0, 100, Opt::HiddenFromHost,
                         SerializeWhat::SoundParameters, kEveryChange),
      audioQuality(manager, AudioQuality, "Audio Quality", "MASTER_AUDIO_QUALITY", 1, 0, 2,
                   Opt::NoInitialize | Opt::HiddenFromHost, SerializeWhat::GlobalSettings,
                   kEveryChange) {}

} // namespace Lumora
