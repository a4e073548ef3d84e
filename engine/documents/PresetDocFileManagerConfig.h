#pragma once

#include "engine/parameter/Serializer.h"

#include <string>

// What a document manager is made from and who hears of its changes of place; light enough for
// the engine base to include without the browsers (the manager itself is PresetDocFileManager.h,
// where these are also named PresetDocFileManager::PathConfig and PresetDocFileManager::Config).
namespace Lumora {

class PresetDocFileManager;

// The three tree roots of a document kind; an empty path means the tree is not used.
struct PresetDocFileManagerPathConfig {
    std::string factoryDirectory;
    std::string userDirectory;
    std::string programDirectory;
};

// Usable only when it names a serializer.
struct PresetDocFileManagerConfig {
    Serializer* serializer = nullptr;
    SerializeWhat serializeWhat = SerializeWhat::None;
    std::string name;
    std::string fileExtension;
    PresetDocFileManagerPathConfig pathConfig;

    explicit operator bool() const { return serializer != nullptr; }
};

// Told after every change of place of a document manager, with its new directory string.
class PresetDocFileManagerObserver {
public:
    virtual ~PresetDocFileManagerObserver() = default;
    virtual void didChangeDirectory(const PresetDocFileManager* manager, const std::string& currentDirectory) = 0;
};

} // namespace Lumora
