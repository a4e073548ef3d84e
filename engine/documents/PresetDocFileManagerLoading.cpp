// Moving documents between disk and the engine: loading, stepping, saving, resetting, the
// in-memory backup and the flat preset lists of the Factory and Program tops.
#include "engine/documents/PresetDocFileManager.h"

#include "engine/files/FileSystem.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/trim.hpp>

namespace Lumora {

using Lock = std::lock_guard<std::recursive_mutex>;

SerializeWhat PresetDocFileManager::serializeWhat() const {
    Lock guard(lock_);
    return serializeWhat_;
}

void PresetDocFileManager::setSerializeWhat(SerializeWhat what) {
    Lock guard(lock_);
    serializeWhat_ = what;
}

std::string PresetDocFileManager::presetName() const {
    Lock guard(lock_);
    return presetName_;
}

void PresetDocFileManager::setPresetName(std::string const& name) {
    Lock guard(lock_);
    presetName_ = name;
}

void PresetDocFileManager::initialize() {
    Lock guard(lock_);
    if (serializer_)
        serializer_->initialize(serializeWhat_, SerializeWhere::Document);
    presetName_ = "initialized";
}

bool PresetDocFileManager::load() {
    Lock guard(lock_);
    if (!currentChild_ || !serializer_)
        return false;
    Item const item = selectedItem();
    if (!item.isPreset())
        return false;
    auto const [read, text] = currentChild_->load();
    if (!read || !serializer_->deserialize(serializeWhat_, text, SerializeWhere::Document))
        return false;
    presetName_ = item.stem();
    return true;
}

bool PresetDocFileManager::step(bool forward) {
    Lock guard(lock_);
    if (!currentChild_) {
        if (!inUse(factory_))
            return false;
        unselect();
        currentChild_ = &factory_;
        didChangeDirectory();
    }
    bool const stepped = forward ? currentChild_->next(fileExtension_) : currentChild_->previous(fileExtension_);
    return stepped && load();
}

bool PresetDocFileManager::loadNext() { return step(true); }
bool PresetDocFileManager::loadPrevious() { return step(false); }

bool PresetDocFileManager::save(std::string const& name) {
    Lock guard(lock_);
    if (!currentChild_ || !serializer_)
        return false;
    std::string const text = serializer_->serialize(serializeWhat_, SerializeWhere::Document);
    if (!currentChild_->save(name + "." + fileExtension_, text))
        return false;
    presetName_ = selectedItem().stem();
    return true;
}

void PresetDocFileManager::backup() {
    Lock guard(lock_);
    backupPresetName_ = presetName_;
    backupText_ = serializer_ ? serializer_->serialize(serializeWhat_, SerializeWhere::Document) : std::string();
}

bool PresetDocFileManager::restore() {
    Lock guard(lock_);
    presetName_ = backupPresetName_;
    return serializer_ && serializer_->deserialize(serializeWhat_, backupText_, SerializeWhere::Document);
}

bool PresetDocFileManager::canRestore() const {
    Lock guard(lock_);
    return !backupText_.empty();
}

std::vector<PresetDocFileManager::Item> PresetDocFileManager::presetList(ChildPresetDocFileManager const& child) const {
    std::vector<Item> items;
    if (!inUse(child))
        return items;
    for (std::string const& entry : filesystem::fileList(child.topDirectory(), fileExtension_))
        items.push_back(pathToItem(&child, entry));
    return items;
}

std::vector<PresetDocFileManager::Item> PresetDocFileManager::factoryPrisetList() const {
    Lock guard(lock_);
    return presetList(factory_);
}

std::vector<PresetDocFileManager::Item> PresetDocFileManager::programList() const {
    Lock guard(lock_);
    return presetList(program_);
}

// The index always counts in the tree's top list, the one the host and program changes number.
// While the tree's browser is at its top this is its own selection and locked load; while it
// browses a sub-folder the entry is read directly, leaving the browser where it is.
bool PresetDocFileManager::loadByIndex(ChildPresetDocFileManager& child, unsigned index) {
    if (!inUse(child) || !serializer_)
        return false;
    bool const wasCurrent = currentChild_ == &child;
    std::pair<bool, std::string> read{false, ""};
    path loaded;
    if (child.isInTopDirectory()) {
        child.select(index, fileExtension_);
        loaded = child.selectedPath();
        read = child.load();
    } else {
        std::vector<Item> const list = presetList(child);
        if (index < list.size() && list[index].isPreset()) {
            loaded = list[index].path();
            read = filesystem::readTextFromFile(loaded, true);
        }
    }
    bool const ok = read.first && serializer_->deserialize(serializeWhat_, read.second, SerializeWhere::Document);
    if (ok) {
        std::string stem = loaded.stem().string();
        boost::algorithm::trim_if(stem, boost::algorithm::is_any_of("\t\r\n"));
        presetName_ = stem;
    }
    // The browser showing this tree shows no selection afterwards.
    if (wasCurrent && child.isInTopDirectory())
        child.unselect();
    return ok;
}

bool PresetDocFileManager::loadFactoryPriset(unsigned index) {
    Lock guard(lock_);
    return loadByIndex(factory_, index);
}

bool PresetDocFileManager::loadProgram(unsigned index) {
    Lock guard(lock_);
    return loadByIndex(program_, index);
}

std::vector<PresetDocFileManager::Item> PresetDocFileManager::factoryPrisetListForAUHost() const {
    Lock guard(lock_);
    return useProgramList_ ? programList() : factoryPrisetList();
}

bool PresetDocFileManager::loadFactoryPrisetForAUHost(unsigned index) {
    Lock guard(lock_);
    return useProgramList_ ? loadProgram(index) : loadFactoryPriset(index);
}

void PresetDocFileManager::setUseProgListAsFactoryPrisetForAUv3Host(bool use) {
    Lock guard(lock_);
    useProgramList_ = use;
}

} // namespace Lumora
