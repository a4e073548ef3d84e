#include "engine/documents/PresetDocFileManager.h"

#include "engine/files/FileSystem.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/algorithm/string/trim.hpp>
#include <boost/filesystem/operations.hpp>

namespace Lumora {

namespace bfs = boost::filesystem;
using Lock = std::lock_guard<std::recursive_mutex>;

namespace {

std::string trimmedStem(std::string stem) {
    boost::algorithm::trim_if(stem, boost::algorithm::is_any_of("\t\r\n"));
    return stem;
}

std::string trimmedExtension(std::string extension) {
    boost::algorithm::trim_if(extension, boost::algorithm::is_any_of(" \t\r\n."));
    return extension;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Item

PresetDocFileManager::Item::Item(boost::filesystem::path fullPath, Type type, std::string stem, std::string extension,
                                 bool canLoad, bool canRename, bool canRemove, bool canCopy, bool canPack,
                                 bool canMove, bool canDuplicate)
    : path_(std::move(fullPath)),
      type_(type),
      stem_(trimmedStem(std::move(stem))),
      extension_(trimmedExtension(std::move(extension))),
      canLoad_(canLoad),
      canRename_(canRename),
      canRemove_(canRemove),
      canCopy_(canCopy),
      canPack_(canPack),
      canMove_(canMove),
      canDuplicate_(canDuplicate) {}

bool PresetDocFileManager::Item::operator==(Item const& other) const {
    return type_ == other.type_ && stem_ == other.stem_ && extension_ == other.extension_;
}

std::string const& PresetDocFileManager::Item::stem() const {
    static std::string const empty;
    return type_ == Empty ? empty : stem_;
}

std::string PresetDocFileManager::Item::name() const {
    if (type_ == Empty)
        return "";
    return extension_.empty() ? stem_ : stem_ + "." + extension_;
}

void PresetDocFileManager::Item::clear() {
    *this = Item();
}

PresetDocFileManager::Item makeVirtualItem(std::string const& childName) {
    return PresetDocFileManager::Item({}, PresetDocFileManager::Item::ChildRoot, childName, "", false, false, false,
                                      false, false, false, false);
}

// ---------------------------------------------------------------------------------------------
// Children

PresetDocFileManager::ChildPresetDocFileManager::ChildPresetDocFileManager(std::string name,
                                                                         PresetDocFileManager& owner,
                                                                         path topDirectory)
    : FileManager(std::move(name), std::move(topDirectory)), owner_(&owner) {}

bool PresetDocFileManager::ChildPresetDocFileManager::canChangeDirectoryToParentDirectory() const {
    return soleChild_ ? FileManager::canChangeDirectoryToParentDirectory() : true;
}

bool PresetDocFileManager::ChildPresetDocFileManager::changeDirectoryToParentDirectory() {
    // A sole tree has no virtual top above it: its top is as high as one goes.
    if (soleChild_ || !isInTopDirectory())
        return FileManager::changeDirectoryToParentDirectory();
    unselect();
    owner_->goToVirtualTop();
    return true;
}

PresetDocFileManager::FactoryPresetDocFileManager::FactoryPresetDocFileManager(PresetDocFileManager& owner,
                                                                             path topDirectory)
    : ChildPresetDocFileManager("Factory", owner, std::move(topDirectory)) {}

PresetDocFileManager::UserPresetDocFileManager::UserPresetDocFileManager(PresetDocFileManager& owner,
                                                                       path topDirectory)
    : ChildPresetDocFileManager("User", owner, std::move(topDirectory)) {}

PresetDocFileManager::ProgrammedPresetDocFileManager::ProgrammedPresetDocFileManager(PresetDocFileManager& owner,
                                                                                   path topDirectory)
    : ChildPresetDocFileManager("Program", owner, std::move(topDirectory)) {}

bool PresetDocFileManager::ProgrammedPresetDocFileManager::canPaste(path const& source) const {
    return !filesystem::is_directory(source);
}

// ---------------------------------------------------------------------------------------------
// Construction

PresetDocFileManager::PresetDocFileManager(Config const& config, PresetDocFileManagerObserver* observer)
    : observer_(observer),
      serializer_(config.serializer),
      serializeWhat_(config.serializeWhat),
      name_(config.name),
      fileExtension_(config.fileExtension),
      factory_(*this, config.pathConfig.factoryDirectory),
      user_(*this, config.pathConfig.userDirectory),
      program_(*this, config.pathConfig.programDirectory) {
    for (ChildPresetDocFileManager* child : {static_cast<ChildPresetDocFileManager*>(&factory_),
                                             static_cast<ChildPresetDocFileManager*>(&user_),
                                             static_cast<ChildPresetDocFileManager*>(&program_)}) {
        if (!child->isNull())
            children_.push_back(child);
    }
    if (children_.size() == 1) {
        children_.front()->setSoleChild(true);
        currentChild_ = children_.front();
    }
}

std::string PresetDocFileManager::name() const { return name_; }
std::string PresetDocFileManager::fileExtension() const { return fileExtension_; }
std::string PresetDocFileManager::pack_file_extension() const { return fileExtension_ + "_pack"; }

bool PresetDocFileManager::inUse(ChildPresetDocFileManager const& child) const {
    return std::find(children_.begin(), children_.end(), &child) != children_.end();
}

PresetDocFileManager::ChildPresetDocFileManager* PresetDocFileManager::childNamed(std::string const& name) const {
    for (ChildPresetDocFileManager* child : children_) {
        if (child->name() == name)
            return child;
    }
    return nullptr;
}

void PresetDocFileManager::goToVirtualTop() {
    Lock guard(lock_);
    topLevelSelection_.clear();
    currentChild_ = nullptr;
}

bool PresetDocFileManager::isInVirtualTop() const {
    Lock guard(lock_);
    return currentChild_ == nullptr;
}

// ---------------------------------------------------------------------------------------------
// Listing and selection

std::vector<PresetDocFileManager::Item> PresetDocFileManager::itemList(bool presetsOnly) const {
    Lock guard(lock_);
    std::vector<Item> items;
    if (!currentChild_) {
        for (ChildPresetDocFileManager const* child : children_)
            items.push_back(makeVirtualItem(child->name()));
        return items;
    }
    for (std::string const& entry : currentChild_->fileList(presetsOnly ? fileExtension_ : ""))
        items.push_back(pathToItem(currentChild_, entry));
    return items;
}

PresetDocFileManager::Item PresetDocFileManager::pathToItem(ChildPresetDocFileManager const* child,
                                                            path const& entry) const {
    if (!child || entry.empty() || !filesystem::exists(entry))
        return Item();
    std::string const fileName = entry.filename().string();
    if (filesystem::is_directory(entry)) {
        return Item(entry, Item::Directory, fileName, "", false, child->canRename(fileName),
                    child->canRemove(fileName), child->canCopy(fileName), child->canPack(fileName),
                    child->canMove(fileName), child->canDuplicate(fileName));
    }
    std::string const extension = trimmedExtension(entry.extension().string());
    bool const preset = extension == fileExtension_;
    return Item(entry, preset ? Item::Preset : Item::OtherFile, entry.stem().string(), extension,
                preset && child->canLoad(fileName), child->canRename(fileName), child->canRemove(fileName),
                preset && child->canCopy(fileName), preset && child->canPack(fileName), child->canMove(fileName),
                child->canDuplicate(fileName));
}

PresetDocFileManager::Item PresetDocFileManager::selectedItem() const {
    Lock guard(lock_);
    if (!currentChild_)
        return topLevelSelection_;
    return pathToItem(currentChild_, currentChild_->selectedPath());
}

bool PresetDocFileManager::select(Item const& item) {
    Lock guard(lock_);
    topLevelSelection_.clear();
    if (!currentChild_) {
        if (ChildPresetDocFileManager* child = childNamed(item.name())) {
            topLevelSelection_ = makeVirtualItem(child->name());
            return true;
        }
        return false;
    }
    if (item.type() == Item::Empty || item.type() == Item::ChildRoot || item.type() == Item::Reserved) {
        currentChild_->unselect();
        return false;
    }
    return currentChild_->select(item.name());
}

void PresetDocFileManager::unselect() {
    Lock guard(lock_);
    topLevelSelection_.clear();
    for (ChildPresetDocFileManager* child : children_)
        child->unselect();
}

// ---------------------------------------------------------------------------------------------
// Permissions

bool PresetDocFileManager::canChangeDirectoryToParentDirectory() const {
    Lock guard(lock_);
    return currentChild_ && currentChild_->canChangeDirectoryToParentDirectory();
}

bool PresetDocFileManager::canSave() const {
    Lock guard(lock_);
    return currentChild_ && currentChild_->canSave();
}

bool PresetDocFileManager::canMakeDirectory() const {
    Lock guard(lock_);
    return currentChild_ && currentChild_->canMakeDirectory();
}

bool PresetDocFileManager::canRenameCurrentDirectory() const {
    Lock guard(lock_);
    return currentChild_ && currentChild_->canRenameCurrentDirectory();
}

bool PresetDocFileManager::canRename(std::string const& name) const {
    Lock guard(lock_);
    return !name.empty() && currentChild_ && pathToItem(currentChild_, currentChild_->currentDirectory() / name).canRename();
}

bool PresetDocFileManager::canRemove(std::string const& name) const {
    Lock guard(lock_);
    return !name.empty() && currentChild_ && pathToItem(currentChild_, currentChild_->currentDirectory() / name).canRemove();
}

bool PresetDocFileManager::canPack(std::string const& name) const {
    Lock guard(lock_);
    return !name.empty() && currentChild_ && pathToItem(currentChild_, currentChild_->currentDirectory() / name).canPack();
}

bool PresetDocFileManager::canMove(std::string const& name) const {
    Lock guard(lock_);
    return !name.empty() && currentChild_ && pathToItem(currentChild_, currentChild_->currentDirectory() / name).canMove();
}

bool PresetDocFileManager::canDuplicate(std::string const& name) const {
    Lock guard(lock_);
    return !name.empty() && currentChild_
           && pathToItem(currentChild_, currentChild_->currentDirectory() / name).canDuplicate();
}

// ---------------------------------------------------------------------------------------------
// Navigation

void PresetDocFileManager::changeDirectoryToHomeDirectory() {
    Lock guard(lock_);
    unselect();
    currentChild_ = children_.size() == 1 ? children_.front() : nullptr;
    didChangeDirectory();
}

bool PresetDocFileManager::changeDirectoryToParentDirectory() {
    Lock guard(lock_);
    unselect();
    if (!currentChild_ || !currentChild_->changeDirectoryToParentDirectory())
        return false;
    didChangeDirectory();
    return true;
}

bool PresetDocFileManager::changeDirectoryToSubDirectory(std::string const& name) {
    Lock guard(lock_);
    unselect();
    if (currentChild_) {
        if (!currentChild_->changeDirectoryToSubDirectory(name))
            return false;
    } else {
        ChildPresetDocFileManager* child = childNamed(name);
        if (!child)
            return false;
        currentChild_ = child;
    }
    didChangeDirectory();
    return true;
}

bool PresetDocFileManager::changeDirectory(std::string const& directory) {
    Lock guard(lock_);
    if (directory.empty()) {
        changeDirectoryToHomeDirectory();
        didChangeDirectory();
        return true;
    }
    std::vector<std::string> pieces;
    boost::algorithm::split(pieces, directory, boost::algorithm::is_any_of(":"));
    if (pieces.size() != 2)
        return false;
    ChildPresetDocFileManager* child = childNamed(pieces[0]);
    if (!child)
        return false;
    currentChild_ = child;
    if (pieces[1] == ".")
        child->changeDirectoryToTopDirectory();
    else if (!child->changeDirectory(pieces[1]))
        return false;
    didChangeDirectory();
    return true;
}

std::string PresetDocFileManager::currentDirectory() const {
    Lock guard(lock_);
    if (!currentChild_)
        return "";
    path relative;
    try {
        relative = bfs::relative(currentChild_->currentDirectory(), currentChild_->topDirectory());
    } catch (bfs::filesystem_error const&) {
        relative = currentChild_->currentDirectory().lexically_relative(currentChild_->topDirectory());
    }
    std::string text = relative.generic_string();
    std::string result = currentChild_->name();
    result += ':';
    result += text.empty() ? std::string(".") : text;
    return result;
}

std::string PresetDocFileManager::directoryName() const {
    Lock guard(lock_);
    if (!currentChild_)
        return name_;
    if (currentChild_->isInTopDirectory())
        return children_.size() == 1 ? name_ : currentChild_->name();
    path const current = currentChild_->currentDirectory();
    for (auto it = current.end(); it != current.begin();) {
        --it;
        if (*it != "." && !it->empty())
            return it->string();
    }
    return current.string();
}

void PresetDocFileManager::didChangeDirectory() {
    Lock guard(lock_);
    if (observer_)
        observer_->didChangeDirectory(this, currentDirectory());
}

FileManager::DirectoryTree PresetDocFileManager::directoryListUnderUserDirectory() const {
    Lock guard(lock_);
    if (!inUse(user_))
        return {};
    return user_.directoryListUnderTopDirectory();
}

// ---------------------------------------------------------------------------------------------
// Entry operations

bool PresetDocFileManager::fileExistCheckForSaving(std::string const& name) const {
    Lock guard(lock_);
    // Asked with the name that saving will write, so a name with invalid characters cannot
    // replace an existing document without the question being asked.
    return currentChild_
           && currentChild_->isExistInCurrentDirectory(FileManager::convertValidPath(name + "." + fileExtension_));
}

bool PresetDocFileManager::rename(std::string const& newName) {
    Lock guard(lock_);
    if (!currentChild_)
        return false;
    path const before = currentChild_->selectedPath();
    bool const preset = selectedItem().isPreset();
    if (!currentChild_->rename(preset ? newName + "." + fileExtension_ : newName))
        return false;
    if (!copiedPath_.empty() && copiedPath_ == before)
        copiedPath_.clear();
    return true;
}

bool PresetDocFileManager::remove() {
    Lock guard(lock_);
    if (!currentChild_)
        return false;
    path const removed = currentChild_->selectedPath();
    if (!currentChild_->remove())
        return false;
    if (!copiedPath_.empty() && copiedPath_ == removed)
        copiedPath_.clear();
    unselect();
    return true;
}

bool PresetDocFileManager::makeDirectory(std::string const& name) {
    Lock guard(lock_);
    return currentChild_ && currentChild_->makeDirectory(name);
}

bool PresetDocFileManager::renameCurrentDirectory(std::string const& name) {
    Lock guard(lock_);
    if (!currentChild_ || !currentChild_->renameCurrentDirectory(name))
        return false;
    // The place now has another name: whoever remembers it must learn the new one.
    didChangeDirectory();
    return true;
}

bool PresetDocFileManager::copy() {
    Lock guard(lock_);
    if (!currentChild_)
        return false;
    Item const item = pathToItem(currentChild_, currentChild_->selectedPath());
    if (!item.isDirectory() && !item.isPreset())
        return false;
    copiedPath_ = item.path();
    return true;
}

bool PresetDocFileManager::paste() {
    Lock guard(lock_);
    if (!currentChild_ || !currentChild_->canPaste(copiedPath_))
        return false;
    Item const item = pathToItem(currentChild_, copiedPath_);
    if (!item.isDirectory() && !item.isPreset())
        return false;
    // A copy that did not happen is not reported as done.
    if (!currentChild_->copyFilesToCurrentDirectory(copiedPath_)) {
        currentChild_->reportFailure("Failed to paste the file.");
        return false;
    }
    return true;
}

bool PresetDocFileManager::pack(path const& zipPath) {
    Lock guard(lock_);
    if (!currentChild_)
        return false;
    Item const item = selectedItem();
    if (!item.isPreset() && !item.isDirectory())
        return false;
    return currentChild_->pack(zipPath);
}

bool PresetDocFileManager::unpack(path const& zipPath) {
    Lock guard(lock_);
    return inUse(user_) && user_.unpack(zipPath);
}

std::string PresetDocFileManager::errorMessage() const {
    Lock guard(lock_);
    return currentChild_ ? currentChild_->errorMessage() : std::string();
}

} // namespace Lumora
