#pragma once

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Lumora {

// A browser over one directory tree: a top directory, the directory being browsed inside it, one
// selected entry and the English message of the last failed operation. Every operation asks the
// virtual permission operations first, so a subclass forbids operations by overriding those.
// Names given to operations are entry names in the current directory; a name that is empty,
// "." or "..", or holds a "/" never reaches the disk, so nothing moves or writes outside the tree.
class FileManager {
public:
    using path = boost::filesystem::path;

    struct directory_tree_item {
        path fullPath;
        std::uint32_t depth = 0;
        bool isDirectory = false;
    };
    using DirectoryTree = std::vector<directory_tree_item>;

    FileManager(std::string name, path topDirectory);
    virtual ~FileManager();

    // The ten characters that never stay in a name.
    static std::string const& invalidCharactersForPath();
    // Also true for control characters (0x00-0x1F, 0x7F).
    static bool isContainingInvalidCharactersForPath(std::string const& name);
    // Every invalid or control character becomes "-".
    static std::string convertValidPath(std::string const& name);
    static DirectoryTree directoryList(path const& directory);

    virtual std::string name() const;
    virtual bool isNull() const;
    virtual path topDirectory() const;
    virtual path currentDirectory() const;
    virtual bool isInTopDirectory() const;
    virtual DirectoryTree directoryListUnderTopDirectory() const;
    virtual DirectoryTree directoryListUnderCurrentDirectory() const;
    virtual path selectedPath() const;
    virtual bool isSelectedFileExist() const;
    virtual bool isExistInCurrentDirectory(std::string const& name) const;
    virtual std::vector<std::string> fileList(std::string const& extension) const;

    virtual bool select(std::string const& name);
    virtual bool select(unsigned index, std::string const& extension);
    virtual void unselect();
    virtual bool next(std::string const& extension);
    virtual bool previous(std::string const& extension);

    virtual bool canChangeDirectoryToParentDirectory() const;
    virtual bool canChangeDirectoryToSubDirectory() const;
    virtual bool canSave() const;
    virtual bool canMakeDirectory() const;
    virtual bool canPaste(path const& source) const;
    virtual bool canUnpackIntoTopDirectory() const;
    virtual bool canLoad(std::string const& name) const;
    virtual bool canRename(std::string const& name) const;
    virtual bool canRemove(std::string const& name) const;
    virtual bool canCopy(std::string const& name) const;
    virtual bool canPack(std::string const& name) const;
    virtual bool canMove(std::string const& name) const;
    virtual bool canDuplicate(std::string const& name) const;

    virtual void changeDirectoryToTopDirectory();
    virtual bool changeDirectoryToParentDirectory();
    virtual bool changeDirectoryToSubDirectory(std::string const& name);
    // A path relative to the top directory; absolute paths and ".." components are refused.
    virtual bool changeDirectory(path const& relativePath);

    virtual std::pair<bool, std::string> load();
    virtual bool save(std::string const& name, std::string const& text);
    virtual bool rename(std::string const& newName);
    virtual bool remove();
    virtual bool makeDirectory(std::string const& name);
    virtual bool copyFilesToCurrentDirectory(path const& source);
    virtual bool pack(path const& zipPath);
    virtual bool unpack(path const& zipPath);
    virtual bool canRenameCurrentDirectory() const;
    virtual bool renameCurrentDirectory(std::string const& name);
    virtual std::string errorMessage() const;

protected:
    // A single entry name: not empty, not "." or "..", no "/" and no NUL.
    static bool isPlainEntryName(std::string const& name);
    // Whether a path, resolved through links, lies at or below the top directory.
    bool liesInsideTree(path const& candidate) const;
    void setErrorMessage(std::string message) { errorMessage_ = std::move(message); }

private:
    std::string name_;
    path topDirectory_;
    path currentDirectory_;
    path selectedPath_;
    std::string errorMessage_;
};

// Appends the tree below a directory: each directory followed at once by its own tree, then
// (unless directoriesOnly) the files, at the given depth.
void traverseDirectory(FileManager::DirectoryTree& list, FileManager::path const& directory, std::uint32_t depth,
                       bool directoriesOnly);

} // namespace Lumora
