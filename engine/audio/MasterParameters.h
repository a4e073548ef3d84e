#pragma once

#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/TypedParameters.h"

namespace Lumora {

// The engine-wide parameters every engine has, created when an audio I/O object attaches.
struct iAudioEngine::CommonParameters::Master {
    enum ID : int {
        MasterVolume = 1100,
        AudioEngineVersion = 1180,
        AudioQuality = 1190,
    };

    explicit Master(ParameterManager* manager);

    Parameter_UFloat masterVolume;
    // Travels with every sound, hidden from the host.
    Parameter_UInt audioEngineVersion;
    // Hidden from the host and kept by initialize.
    Parameter_UInt audioQuality;
};

} // namespace Lumora
