#pragma once

#include <string>

namespace Lumora {
class iAudioEngine;
}
namespace Platform {
class UserDefaults;
}

// The standalone app's one-time conversion of the presets that an earlier version kept in its
// own documents folder ("program/" sounds and "arpeggiator/" patterns) into the shared user
// folders "(Old Version Presets)" and "(Old Version Presets - <product>)". It runs at the first
// launch after installation and again at a launch after the user asked for it.
namespace OldVersionPresetConversion {

// The app's own defaults keys: the conversion version reached, and the user's request to
// convert once more.
inline constexpr char const* convertedVersionKey = "convertedVersion";
inline constexpr char const* convertAgainKey = "convertOldVersionPresets";
inline constexpr unsigned currentVersion = 2;

// Converts when due and records it in defaults (the app's standard defaults); true when it
// converted.
bool convertIfDue(Platform::UserDefaults& defaults, Lumora::iAudioEngine* engine, std::string const& productName);

// Converts both folders of documentsFolder into the shared framework's user folders.
void convertOldVersionPresets(Lumora::iAudioEngine* engine, std::string const& productName,
                              std::string const& documentsFolder);

} // namespace OldVersionPresetConversion
