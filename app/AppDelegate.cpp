#include "app/AppDelegate.h"

#include <sys/stat.h>

#include <cstdio>
#include <exception>

#include <boost/filesystem/path.hpp>

#include "engine/audio/iAudioEngine.h"
#include "engine/documents/FileManager.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/Serializer.h"
#include "model/conversion/OldVersionPresetConversion.h"
#include "model/conversion/SoundPresetFileConverter.h"
#include "model/framework/Shared_Information.h"
#include "model/product/Core.h"
#include "platform/foundation/Containers.h"
#include "platform/foundation/UserDefaults.h"

namespace {

// The stand-in Audiobus controller takes any key; a release for the real service builds its own
// key in here.
constexpr char const* kAudiobusApiKey = "Corvane-local-audiobus-key";

struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
};

FileIdentity identityOf(std::string const& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return {};
    return {true, info.st_dev, info.st_ino};
}

} // namespace

std::shared_ptr<Lumora_Core> AppDelegate::createCore() { return Platform::newObject<Core>(); }

std::string AppDelegate::audiobusApiKey() { return kAudiobusApiKey; }

void AppDelegate::didFinishCreateAudioIO(Lumora::iAudioIO* audioIO, Lumora::iAudioEngine* engine,
                                         std::shared_ptr<Lumora_Settings> const& settings, bool isPlugin) {
    Lumora_AppDelegate::didFinishCreateAudioIO(audioIO, engine, settings, isPlugin);
    auto defaults = Platform::UserDefaults::standard();
    defaults->registerDefaults({{convertedVersionKey, Platform::Value(0)},
                                {convertOldVersionPresetsKey, Platform::Value(false)}});
    if (defaults->integerForKey(convertedVersionKey) <= 1) {
        convertOldVersionPresetsWithAudioEngine(engine);
        defaults->setInteger(convertedVersionKey, OldVersionPresetConversion::currentVersion);
        defaults->synchronize();
    } else if (defaults->boolForKey(convertOldVersionPresetsKey)) {
        convertOldVersionPresetsWithAudioEngine(engine);
        defaults->setBool(convertOldVersionPresetsKey, false);
        defaults->synchronize();
    }
}

void AppDelegate::convertOldVersionPresetsWithAudioEngine(Lumora::iAudioEngine* engine) {
    if (engine == nullptr)
        return;
    ++conversions_;
    // Every converted document passes through the live engine; without this the app would start
    // with whichever old preset happened to be converted last instead of the default sound.
    std::string const kept = engine->serialize(Lumora::SerializeWhat::FullState, Lumora::SerializeWhere::StateBackup);
    std::string const documents = boost::filesystem::path(Platform::Containers::documents()).lexically_normal().string();
    OldVersionPresetConversion::convertOldVersionPresets(engine, core() ? core()->productName() : std::string(),
                                                         documents);
    engine->deserialize(Lumora::SerializeWhat::FullState, kept, Lumora::SerializeWhere::StateBackup);
}

bool AppDelegate::openURL(AppShell::URL const& url) {
    if (url.pathExtension() == oldSoundExtension)
        return importOldVersionSound(url);
    return Lumora_AppDelegate::openURL(url);
}

bool AppDelegate::importOldVersionSound(AppShell::URL const& url) {
    Lumora::iAudioEngine* engine = audioEngine();
    if (engine == nullptr)
        return false;
    // The name comes from another app: only its last component counts, and none of the
    // characters that documents may not carry.
    std::string const name = url.lastPathComponent();
    std::string const stem = Lumora::FileManager::convertValidPath(name.substr(0, name.size() - url.pathExtension().size() - 1));
    std::string const target = Shared_Information::soundUserDataDirectoryPath() + "/" + stem + ".corvane_snd";

    // The converter replaces the target by renaming a new file over it, so a converted file is
    // a different file from the one that was there before.
    FileIdentity const before = identityOf(target);
    try {
        auto converter = Platform::newObject<SoundPresetFileConverter>();
        converter->convertOldFilePath(url.path(), target, engine, Lumora::SerializeWhat::SoundPreset);
    } catch (std::exception const& error) {
        std::fprintf(stderr, "ERROR! : openURL(%s): %s\n", url.path().c_str(), error.what());
        return false;
    }
    FileIdentity const after = identityOf(target);
    bool const converted = after.exists && (!before.exists || before.device != after.device || before.inode != after.inode);
    if (!converted)
        return false;
    if (Lumora::PresetDocFileManager* sound = engine->soundPresetFileManager())
        sound->setPresetName(stem);
    return true;
}
