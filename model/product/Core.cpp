#include "model/product/Core.h"

#include "model/core/ScreenServices.h"
#include "model/framework/Shared_Information.h"
#include "model/settings/Settings.h"
#include "synthesis/voice/engine/AudioEngine.h"

bool Core::init() {
    if (!Lumora_Core::init())
        return false;
    Lumora::ScreenServices::installTheme(self<Lumora_Core>());
    return true;
}

// Each folder is asked for as its field is filled, after the framework made them all.
Lumora::iSynthAudioEngine::Config Core::makeAudioEngineConfig() {
    Lumora::iSynthAudioEngine::Config config;
    config.soundName = "Sound Presets";
    config.soundType = "corvane_snd";
    config.soundFactoryPath = Shared_Information::soundFactoryDataDirectoryPath();
    config.soundUserPath = Shared_Information::soundUserDataDirectoryPath();
    config.soundProgramPath = Shared_Information::soundProgramDataDirectoryPath();
    config.midiMappingName = "MIDI Mapping";
    config.midiMappingType = "corvane_midi";
    config.midiMappingUserPath = Shared_Information::midimappingUserDataDirectoryPath();
    config.arpeggiatorName = "Arpeggiator";
    config.arpeggiatorType = "kyv_arp";
    config.arpeggiatorUserPath = Shared_Information::arpeggiatorUserDataDirectoryPath();
    config.microTuningName = "Microtuning";
    config.microTuningType = "kyv_tng";
    config.microTuningUserPath = Shared_Information::microtuningUserDataDirectoryPath();
    config.sampleName = "Sample";
    config.sampleType = "wav";
    config.samplePath = Shared_Information::frameworkResourcePath() + "/Data/Sample";
    config.sampleReserved = "";
    config.waveTableName = "Wave Table";
    config.waveTableType = "wtbl";
    config.waveTablePath = Shared_Information::frameworkResourcePath() + "/Data/WaveTable";
    config.waveTableReserved = "";
    return config;
}

std::unique_ptr<Lumora::iAudioEngine> Core::createAudioEngine() {
    Shared_Information::initialSetup();
    return std::make_unique<Lumora::Corvane::AudioEngine>(makeAudioEngineConfig(), productName(),
                                                          parameterTextVersion);
}

std::shared_ptr<Lumora_Settings> Core::createSettings() {
    return Platform::newObject<Settings>();
}

std::shared_ptr<Platform::Object> Core::createMainViewController() {
    return Lumora::ScreenServices::makeMainViewController(self<Lumora_Core>());
}

std::optional<std::string> Core::defaultSoundPresetPath() {
    return Shared_Information::defaultSoundPresetPath();
}

void Core::willDeliverChanges() {
    if (auto* engine = dynamic_cast<Lumora::Corvane::AudioEngine*>(audioEngine()))
        engine->publishReadbacks();
}
