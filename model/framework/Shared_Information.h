#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/foundation/UserDefaults.h"

#include <memory>
#include <optional>
#include <string>

// The maker's shared framework, linked by both programs: where the documents of every kind live
// in the application group's container that the app and the extension share, which store keeps
// the shared settings, where the framework's resources are and which sound is loaded at start-up.
// Class operations only.
//
// Layout of the container (below Platform::Containers::appGroup(appGroupIdentifier)):
//   Presets/Sound/User, Presets/Sound/Program, Presets/Arpeggiator, Presets/MidiMapping,
//   Presets/Microtuning. The shared user defaults live in the config home
//   (Platform::Containers::configHome()).
// The framework's bundle (read-only) holds Data/Sound/Factory (the factory sounds),
// Data/Sound/Program (the program list a new container starts with), Data/Sound/Default.corvane_snd
// (the start-up sound), Data/Sample, Data/WaveTable and the images of the screens. It is the
// folder "CORVANE_FRAMEWORK_BUNDLE" names, else the copy a loaded plug-in bundle carries
// (setPluginFrameworkPath), else Frameworks/Framework.framework in the main bundle, else
// resources/Framework.framework of the source tree.
class Shared_Information {
public:
    Shared_Information() = delete;

    static constexpr char const* appGroupIdentifier = "group.com.corvane.shared";
    static constexpr char const* defaultSoundPresetFileName = "Default.corvane_snd";

    // Makes every document folder; a program folder made now starts with the framework's program
    // list. Harmless to call again.
    static void initialSetup();

    // The one store of the shared settings; the same object for every caller.
    static std::shared_ptr<Platform::UserDefaults> sharedAppUserDefaults();

    static std::string soundFactoryDataDirectoryPath();
    static std::string soundUserDataDirectoryPath();
    static std::string soundProgramDataDirectoryPath();
    static std::string arpeggiatorUserDataDirectoryPath();
    static std::string midimappingUserDataDirectoryPath();
    static std::string microtuningUserDataDirectoryPath();

    static std::string frameworkResourcePath();
    // A plug-in loaded into a host's process cannot find its resources beside the host's program:
    // its bundle names the framework copy it carries. An empty path forgets it.
    static void setPluginFrameworkPath(std::string path);
    // Never null; a missing bundle folder is a bundle without resources.
    static std::shared_ptr<Platform::Bundle> frameworkBundle();

    // The start-up sound; nothing when the framework carries none (the sound then starts
    // initialized).
    static std::optional<std::string> defaultSoundPresetPath();
};
