#include "engine/documents/FileManager.h"

#include "engine/files/FileSystem.h"
#include "engine/zip/Zip.h"

#include <boost/filesystem/operations.hpp>

#include <algorithm>

namespace Lumora {

namespace bfs = boost::filesystem;

namespace {

bool isControlCharacter(char c) {
    unsigned char const byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// Without trailing separators, so that the top compares equal, element by element, with the
// parent of any directory below it.
FileManager::path withoutTrailingSeparators(FileManager::path const& directory) {
    std::string text = directory.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

// Whether a is b or lies below it; a place that cannot be resolved counts as lying there.
bool lies(FileManager::path const& a, FileManager::path const& b) {
    try {
        return filesystem::isDescendant(a, b);
    } catch (bfs::filesystem_error const&) {
        return true;
    }
}

} // namespace

FileManager::FileManager(std::string name, path topDirectory)
    : name_(std::move(name)),
      topDirectory_(withoutTrailingSeparators(topDirectory)),
      currentDirectory_(topDirectory_) {}

FileManager::~FileManager() = default;

std::string const& FileManager::invalidCharactersForPath() {
    static std::string const characters = "\\/:*?\"'<>|";
    return characters;
}

bool FileManager::isContainingInvalidCharactersForPath(std::string const& name) {
    return name.find_first_of(invalidCharactersForPath()) != std::string::npos
           || std::any_of(name.begin(), name.end(), isControlCharacter);
}

std::string FileManager::convertValidPath(std::string const& name) {
    std::string valid = name;
    for (char& c : valid) {
        if (invalidCharactersForPath().find(c) != std::string::npos || isControlCharacter(c))
            c = '-';
    }
    return valid;
}

FileManager::DirectoryTree FileManager::directoryList(path const& directory) {
    DirectoryTree list;
    list.push_back({directory, 0, true});
    traverseDirectory(list, directory, 1, true);
    return list;
}

void traverseDirectory(FileManager::DirectoryTree& list, FileManager::path const& directory, std::uint32_t depth,
                       bool directoriesOnly) {
    for (std::string const& entry : filesystem::fileList(directory, "")) {
        if (filesystem::is_directory(entry)) {
            list.push_back({entry, depth, true});
            traverseDirectory(list, entry, depth + 1, directoriesOnly);
        } else if (!directoriesOnly) {
            list.push_back({entry, depth, false});
        }
    }
}

bool FileManager::isPlainEntryName(std::string const& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
           && name.find('\0') == std::string::npos;
}

bool FileManager::liesInsideTree(path const& candidate) const {
    boost::system::error_code ec;
    path const top = bfs::canonical(topDirectory_, ec);
    if (ec)
        return false;
    path const resolved = bfs::weakly_canonical(candidate, ec);
    if (ec)
        return false;
    auto r = resolved.begin();
    for (auto t = top.begin(); t != top.end(); ++t, ++r) {
        if (r == resolved.end() || *r != *t)
            return false;
    }
    return true;
}

std::string FileManager::name() const { return name_; }
bool FileManager::isNull() const { return topDirectory_.empty(); }
FileManager::path FileManager::topDirectory() const { return topDirectory_; }
FileManager::path FileManager::currentDirectory() const { return currentDirectory_; }
bool FileManager::isInTopDirectory() const { return currentDirectory_ == topDirectory_; }

FileManager::DirectoryTree FileManager::directoryListUnderTopDirectory() const {
    return directoryList(topDirectory());
}

FileManager::DirectoryTree FileManager::directoryListUnderCurrentDirectory() const {
    return directoryList(currentDirectory());
}

FileManager::path FileManager::selectedPath() const { return selectedPath_; }

bool FileManager::isSelectedFileExist() const {
    return !selectedPath_.empty() && filesystem::exists(selectedPath_);
}

bool FileManager::isExistInCurrentDirectory(std::string const& name) const {
    return isPlainEntryName(name) && filesystem::exists(currentDirectory() / name);
}

std::vector<std::string> FileManager::fileList(std::string const& extension) const {
    return filesystem::fileList(currentDirectory(), extension);
}

bool FileManager::select(std::string const& name) {
    if (isPlainEntryName(name)) {
        path const candidate = currentDirectory() / name;
        if (filesystem::exists(candidate)) {
            selectedPath_ = candidate;
            return true;
        }
    }
    unselect();
    return false;
}

bool FileManager::select(unsigned index, std::string const& extension) {
    std::vector<std::string> const list = fileList(extension);
    if (index < list.size()) {
        selectedPath_ = list[index];
        return true;
    }
    unselect();
    return false;
}

void FileManager::unselect() { selectedPath_.clear(); }

bool FileManager::next(std::string const& extension) {
    std::vector<std::string> const list = fileList(extension);
    if (list.empty()) {
        unselect();
        return false;
    }
    auto found = std::find_if(list.begin(), list.end(), [&](std::string const& entry) { return path(entry) == selectedPath_; });
    if (found == list.end() || found + 1 == list.end())
        selectedPath_ = list.front();
    else
        selectedPath_ = *(found + 1);
    return true;
}

bool FileManager::previous(std::string const& extension) {
    std::vector<std::string> const list = fileList(extension);
    if (list.empty()) {
        unselect();
        return false;
    }
    auto found = std::find_if(list.begin(), list.end(), [&](std::string const& entry) { return path(entry) == selectedPath_; });
    if (found == list.end())
        selectedPath_ = list.front();
    else if (found == list.begin())
        selectedPath_ = list.back();
    else
        selectedPath_ = *(found - 1);
    return true;
}

bool FileManager::canChangeDirectoryToParentDirectory() const { return !isInTopDirectory(); }
bool FileManager::canChangeDirectoryToSubDirectory() const { return true; }
bool FileManager::canSave() const { return true; }
bool FileManager::canMakeDirectory() const { return true; }

bool FileManager::canPaste(path const& source) const {
    if (!filesystem::exists(source) || filesystem::exists(currentDirectory() / source.filename()))
        return false;
    // A folder pasted into itself, or below itself, would copy its own copy again and again.
    return !filesystem::is_directory(source) || !lies(currentDirectory(), source);
}

bool FileManager::canUnpackIntoTopDirectory() const { return true; }

bool FileManager::canLoad(std::string const& name) const {
    return isPlainEntryName(name) && filesystem::is_regular_file(currentDirectory() / name);
}

bool FileManager::canRename(std::string const& name) const {
    return isPlainEntryName(name) && filesystem::exists(currentDirectory() / name);
}

bool FileManager::canRemove(std::string const& name) const { return FileManager::canRename(name); }
bool FileManager::canCopy(std::string const& name) const { return FileManager::canRename(name); }
bool FileManager::canPack(std::string const& name) const { return FileManager::canRename(name); }
bool FileManager::canMove(std::string const& name) const { return FileManager::canRename(name); }
bool FileManager::canDuplicate(std::string const& name) const { return FileManager::canRename(name); }

void FileManager::changeDirectoryToTopDirectory() {
    currentDirectory_ = topDirectory();
    unselect();
}

bool FileManager::changeDirectoryToParentDirectory() {
    if (!canChangeDirectoryToParentDirectory() || isInTopDirectory())
        return false;
    currentDirectory_ = currentDirectory_.parent_path();
    unselect();
    return true;
}

bool FileManager::changeDirectoryToSubDirectory(std::string const& name) {
    if (!canChangeDirectoryToSubDirectory() || !isPlainEntryName(name))
        return false;
    path const candidate = currentDirectory() / name;
    if (!filesystem::is_directory(candidate) || !liesInsideTree(candidate))
        return false;
    currentDirectory_ = candidate;
    unselect();
    return true;
}

bool FileManager::changeDirectory(path const& relativePath) {
    // Stored or typed text: a root, a ".." or a NUL (which would cut the path short on disk) is
    // refused; "." and empty components are dropped.
    if (relativePath.has_root_path() || relativePath.string().find('\0') != std::string::npos)
        return false;
    path candidate = topDirectory();
    for (path const& component : relativePath) {
        std::string const text = component.string();
        if (text == "..")
            return false;
        if (text.empty() || text == ".")
            continue;
        candidate /= component;
    }
    if (!filesystem::is_directory(candidate) || !liesInsideTree(candidate))
        return false;
    currentDirectory_ = candidate;
    unselect();
    return true;
}

std::pair<bool, std::string> FileManager::load() {
    errorMessage_.clear();
    if (!canLoad(selectedPath().filename().string())) {
        errorMessage_ = "The selected file can not be load.";
        return {false, ""};
    }
    if (selectedPath().empty()) {
        errorMessage_ = "No file selected.";
        return {false, ""};
    }
    return filesystem::readTextFromFile(selectedPath(), true);
}

bool FileManager::save(std::string const& name, std::string const& text) {
    errorMessage_.clear();
    if (!canSave()) {
        errorMessage_ = "It can not be saved here.";
        return false;
    }
    std::string const valid = convertValidPath(name);
    path const target = currentDirectory() / valid;
    if (!isPlainEntryName(valid) || !liesInsideTree(target) || !filesystem::writeTextToFile(target, text, true)) {
        errorMessage_ = "Failed to save.";
        return false;
    }
    select(target.filename().string());
    return true;
}

bool FileManager::rename(std::string const& newName) {
    if (selectedPath().empty()) {
        errorMessage_ = "No file (or directory) selected.";
        return false;
    }
    if (!canRename(selectedPath().filename().string())) {
        errorMessage_ = "The selected file (or directory) can not be renamed.";
        return false;
    }
    std::string const valid = convertValidPath(newName);
    path const target = selectedPath().parent_path() / valid;
    if (!isPlainEntryName(valid) || !filesystem::rename(selectedPath(), target)) {
        errorMessage_ = "Failed to rename file (or directory).";
        return false;
    }
    errorMessage_.clear();
    selectedPath_ = target;
    return true;
}

bool FileManager::remove() {
    if (!canRemove(selectedPath().filename().string())) {
        errorMessage_ = "The selected file (or directory) can not be deleted.";
        return false;
    }
    if (selectedPath().empty()) {
        errorMessage_ = "No file (or directory) selected.";
        return false;
    }
    if (!filesystem::removeDirectory(selectedPath())) {
        errorMessage_ = "Failed to delete the file (or directory).";
        return false;
    }
    errorMessage_.clear();
    unselect();
    return true;
}

bool FileManager::makeDirectory(std::string const& name) {
    errorMessage_.clear();
    if (!canMakeDirectory()) {
        errorMessage_ = "No directory can be created in this directory.";
        return false;
    }
    std::string const valid = convertValidPath(name);
    path const target = currentDirectory() / valid;
    if (!isPlainEntryName(valid)) {
        errorMessage_ = "Failed to create the directory.";
        return false;
    }
    if (filesystem::exists(target)) {
        errorMessage_ = "There is a directory with the same name.";
        return false;
    }
    if (!filesystem::createDirectory(target)) {
        errorMessage_ = "Failed to create the directory.";
        return false;
    }
    select(target.filename().string());
    return true;
}

bool FileManager::copyFilesToCurrentDirectory(path const& source) {
    if (!canPaste(source) || !isPlainEntryName(source.filename().string())) {
        errorMessage_ = "Copied file can not be pasted into this directory.\n" + currentDirectory().string();
        return false;
    }
    errorMessage_.clear();
    path const destination = currentDirectory() / source.filename();
    if (filesystem::is_directory(source))
        return filesystem::copyDirectory(source, destination);
    return filesystem::copyFile(source, destination);
}

bool FileManager::pack(path const& zipPath) {
    errorMessage_.clear();
    if (!isSelectedFileExist()) {
        errorMessage_ = "No file (or directory) selected.";
        return false;
    }
    if (filesystem::isEmptyDirectory(selectedPath())) {
        errorMessage_ = "The directory is empty.";
        return false;
    }
    if (!Lumora::zip(selectedPath().c_str(), zipPath.c_str())) {
        errorMessage_ = "Failed to pack the file.";
        return false;
    }
    return true;
}

bool FileManager::unpack(path const& zipPath) {
    errorMessage_.clear();
    if (!canUnpackIntoTopDirectory()) {
        errorMessage_ = "The file can not be unpacked into this directory.\n" + topDirectory().string();
        return false;
    }
    if (!Lumora::unzip(zipPath.c_str(), topDirectory().c_str())) {
        errorMessage_ = "Failed to unpack the file.";
        return false;
    }
    return true;
}

bool FileManager::canRenameCurrentDirectory() const { return !isInTopDirectory(); }

bool FileManager::renameCurrentDirectory(std::string const& name) {
    if (!canRenameCurrentDirectory()) {
        errorMessage_ = "The directory names can not be changed.";
        return false;
    }
    std::string const valid = convertValidPath(name);
    path const target = currentDirectory().parent_path() / valid;
    if (!isPlainEntryName(valid)) {
        errorMessage_ = "Failed to rename the directory.";
        return false;
    }
    if (filesystem::exists(target)) {
        errorMessage_ = "There is a directory with the same name.";
        return false;
    }
    if (!filesystem::rename(currentDirectory(), target)) {
        errorMessage_ = "Failed to rename the directory.";
        return false;
    }
    errorMessage_.clear();
    currentDirectory_ = target;
    unselect();
    return true;
}

std::string FileManager::errorMessage() const { return errorMessage_; }

} // namespace Lumora
