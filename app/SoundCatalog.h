#pragma once

#include <string>
#include <vector>

namespace Lumora {
class iAudioEngine;
}

namespace AppShell {

// The sounds the browser offers, for the command line: every preset of the Factory and User trees
// with the folder it lies in ("Factory:Pads") and the name the browser shows (its stem).
struct SoundEntry {
    std::string directory;
    std::string name;
};

std::vector<SoundEntry> listSounds(Lumora::iAudioEngine& engine);

// Makes a sound current: a sound file by its path, else the first preset of that name (Factory
// before User, a folder's presets before its sub-folders'; "Folder/Name" narrows it to a
// folder). False with the reason when there is none or it does not load.
bool chooseSound(Lumora::iAudioEngine& engine, const std::string& nameOrFile, std::string& error);

} // namespace AppShell
