#include "app/SoundCatalog.h"

#include <fstream>
#include <optional>
#include <sstream>

#include <boost/filesystem/operations.hpp>

#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"

namespace AppShell {

namespace {

using Manager = Lumora::PresetDocFileManager;

struct Found {
    std::string directory;
    Manager::Item item;
};

// Visits the presets of one folder and then its sub-folders; stops when visit answers true.
template <typename Visit>
bool walk(Manager& sounds, const std::string& directory, Visit& visit, int depth = 0) {
    if (depth > 16 || !sounds.changeDirectory(directory)) return false;
    const auto items = sounds.itemList(false);
    for (const auto& item : items)
        if (item.isPreset() && visit(directory, item)) return true;
    for (const auto& item : items) {
        if (!item.isDirectory()) continue;
        const std::string sub = directory.back() == ':' ? directory + item.name() : directory + "/" + item.name();
        if (walk(sounds, sub, visit, depth + 1)) return true;
    }
    return false;
}

template <typename Visit>
void walkAll(Manager& sounds, Visit visit) {
    const std::string before = sounds.currentDirectory();
    for (const char* tree : {"Factory:", "User:"})
        if (walk(sounds, tree, visit)) break;
    if (!before.empty()) sounds.changeDirectory(before);
}

std::string folderPart(const std::string& directory) {
    const auto colon = directory.find(':');
    return colon == std::string::npos ? directory : directory.substr(colon + 1);
}

bool loadFile(Lumora::iAudioEngine& engine, Manager& sounds, const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in || !engine.deserialize(sounds.serializeWhat(), text.str(), Lumora::SerializeWhere::Document)) {
        error = "could not load the sound file " + path;
        return false;
    }
    sounds.setPresetName(boost::filesystem::path(path).stem().string());
    return true;
}

} // namespace

std::vector<SoundEntry> listSounds(Lumora::iAudioEngine& engine) {
    std::vector<SoundEntry> entries;
    Manager* sounds = engine.soundPresetFileManager();
    if (sounds == nullptr) return entries;
    walkAll(*sounds, [&](const std::string& directory, const Manager::Item& item) {
        entries.push_back({directory, item.stem()});
        return false;
    });
    return entries;
}

bool chooseSound(Lumora::iAudioEngine& engine, const std::string& nameOrFile, std::string& error) {
    Manager* sounds = engine.soundPresetFileManager();
    if (sounds == nullptr) {
        error = "this program has no sounds";
        return false;
    }
    boost::system::error_code ignored;
    if (boost::filesystem::is_regular_file(nameOrFile, ignored)) return loadFile(engine, *sounds, nameOrFile, error);

    const auto slash = nameOrFile.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : nameOrFile.substr(0, slash);
    const std::string name = slash == std::string::npos ? nameOrFile : nameOrFile.substr(slash + 1);
    std::optional<Found> found;
    walkAll(*sounds, [&](const std::string& directory, const Manager::Item& item) {
        if (item.stem() != name || (!folder.empty() && folderPart(directory) != folder)) return false;
        found = Found{directory, item};
        return true;
    });
    if (!found) {
        error = "no sound is called \"" + nameOrFile + "\" (Corvane --list-sounds lists them)";
        return false;
    }
    if (!sounds->changeDirectory(found->directory) || !sounds->select(found->item) || !sounds->load()) {
        error = "the sound \"" + nameOrFile + "\" did not load";
        return false;
    }
    return true;
}

} // namespace AppShell
