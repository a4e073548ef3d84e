#pragma once

#include "engine/documents/FileManager.h"
#include "engine/documents/PresetDocFileManagerConfig.h"
#include "engine/parameter/Serializer.h"

#include <boost/filesystem/path.hpp>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace Lumora {

// The documents of one kind (sound presets, MIDI mappings, arpeggiator patterns, micro-tunings)
// in up to three trees: the read-only Factory folder, the User folder and the flat Program
// folder. Each tree is browsed by a child browser whose permissions say what the tree allows;
// with more than one tree, a virtual top lists the trees. The place is kept as a directory
// string "<tree>:<folder relative to the tree's top>" ("" at the virtual top).
//
// The host of the plug-in may list and load factory presets from a thread of its own while the
// main thread browses, so every operation holds the manager's (recursive) lock.
class PresetDocFileManager {
public:
    using path = boost::filesystem::path;
    using PathConfig = PresetDocFileManagerPathConfig;
    using Config = PresetDocFileManagerConfig;

    // One listed entry with what may be done with it.
    class Item {
    public:
        enum Type : std::int32_t { Empty = 0, ChildRoot = 1, Reserved = 2, Directory = 3, Preset = 4, OtherFile = 5 };

        Item() = default;
        Item(boost::filesystem::path fullPath, Type type, std::string stem, std::string extension, bool canLoad, bool canRename,
             bool canRemove, bool canCopy, bool canPack, bool canMove, bool canDuplicate);

        explicit operator bool() const { return type_ != Empty; }
        // Same kind and same name; the path is not compared.
        bool operator==(Item const& other) const;
        bool isDirectory() const { return type_ == ChildRoot || type_ == Directory; }
        bool isPreset() const { return type_ == Reserved || type_ == Preset; }
        Type type() const { return type_; }
        boost::filesystem::path const& path() const { return path_; }
        std::string const& stem() const;
        std::string const& extension() const { return extension_; }
        std::string name() const;
        bool canLoad() const { return canLoad_; }
        bool canRename() const { return canRename_; }
        bool canRemove() const { return canRemove_; }
        bool canCopy() const { return canCopy_; }
        bool canPack() const { return canPack_; }
        bool canMove() const { return canMove_; }
        bool canDuplicate() const { return canDuplicate_; }
        void clear();

    private:
        boost::filesystem::path path_;
        Type type_ = Empty;
        std::string stem_;
        std::string extension_;
        bool canLoad_ = false;
        bool canRename_ = false;
        bool canRemove_ = false;
        bool canCopy_ = false;
        bool canPack_ = false;
        bool canMove_ = false;
        bool canDuplicate_ = false;
    };

    // A tree's browser; at its top, going up leads to the owner's virtual top.
    class ChildPresetDocFileManager : public FileManager {
    public:
        ChildPresetDocFileManager(std::string name, PresetDocFileManager& owner, path topDirectory);
        bool canChangeDirectoryToParentDirectory() const override;
        bool changeDirectoryToParentDirectory() override;
        void setSoleChild(bool sole) { soleChild_ = sole; }
        void reportFailure(std::string message) { setErrorMessage(std::move(message)); }

    private:
        PresetDocFileManager* owner_;
        bool soleChild_ = false;
    };

    // Loading, copying, packing and browsing only.
    class FactoryPresetDocFileManager : public ChildPresetDocFileManager {
    public:
        FactoryPresetDocFileManager(PresetDocFileManager& owner, path topDirectory);
        bool canSave() const override { return false; }
        bool canMakeDirectory() const override { return false; }
        bool canPaste(path const&) const override { return false; }
        bool canUnpackIntoTopDirectory() const override { return false; }
        bool canRename(std::string const&) const override { return false; }
        bool canRemove(std::string const&) const override { return false; }
        bool canMove(std::string const&) const override { return false; }
        bool canDuplicate(std::string const&) const override { return false; }
    };

    class UserPresetDocFileManager : public ChildPresetDocFileManager {
    public:
        UserPresetDocFileManager(PresetDocFileManager& owner, path topDirectory);
    };

    // Files only, no sub-folders.
    class ProgrammedPresetDocFileManager : public ChildPresetDocFileManager {
    public:
        ProgrammedPresetDocFileManager(PresetDocFileManager& owner, path topDirectory);
        bool canChangeDirectoryToSubDirectory() const override { return false; }
        bool canMakeDirectory() const override { return false; }
        bool canUnpackIntoTopDirectory() const override { return false; }
        bool canPaste(path const& source) const override;
    };

    PresetDocFileManager(Config const& config, PresetDocFileManagerObserver* observer);
    PresetDocFileManager(PresetDocFileManager const&) = delete;
    PresetDocFileManager& operator=(PresetDocFileManager const&) = delete;

    std::string name() const;
    std::string fileExtension() const;
    std::string pack_file_extension() const;

    // Listing and selection.
    std::vector<Item> itemList(bool presetsOnly) const;
    Item pathToItem(ChildPresetDocFileManager const* child, path const& entry) const;
    Item selectedItem() const;
    bool select(Item const& item);
    void unselect();

    // Permissions of the current place (all false at the virtual top).
    bool canChangeDirectoryToParentDirectory() const;
    bool canSave() const;
    bool canMakeDirectory() const;
    bool canRenameCurrentDirectory() const;
    bool canRename(std::string const& name) const;
    bool canRemove(std::string const& name) const;
    bool canPack(std::string const& name) const;
    bool canMove(std::string const& name) const;
    bool canDuplicate(std::string const& name) const;

    // Navigation; each change of place tells the observer.
    void changeDirectoryToHomeDirectory();
    bool changeDirectoryToParentDirectory();
    bool changeDirectoryToSubDirectory(std::string const& name);
    // Refuses strings that name no tree in use, lack the one ":", or lead outside the tree.
    bool changeDirectory(std::string const& directory);
    std::string currentDirectory() const;
    std::string directoryName() const;
    void didChangeDirectory();
    FileManager::DirectoryTree directoryListUnderUserDirectory() const;
    bool isInVirtualTop() const;

    // Entry operations of the tree in use.
    bool fileExistCheckForSaving(std::string const& name) const;
    bool rename(std::string const& newName);
    bool remove();
    bool makeDirectory(std::string const& name);
    bool renameCurrentDirectory(std::string const& name);
    bool copy();
    bool paste();
    bool pack(path const& zipPath);
    // Always into the User tree's top, wherever the manager is.
    bool unpack(path const& zipPath);
    std::string errorMessage() const;

    // Documents through the serializer.
    SerializeWhat serializeWhat() const;
    void setSerializeWhat(SerializeWhat what);
    std::string presetName() const;
    void setPresetName(std::string const& name);
    void initialize();
    bool load();
    bool loadNext();
    bool loadPrevious();
    bool save(std::string const& name);
    void backup();
    bool restore();
    bool canRestore() const;

    // Flat preset lists of the Factory and Program tops, for the plug-in host and program changes.
    std::vector<Item> factoryPrisetList() const;
    std::vector<Item> programList() const;
    bool loadFactoryPriset(unsigned index);
    bool loadProgram(unsigned index);
    std::vector<Item> factoryPrisetListForAUHost() const;
    bool loadFactoryPrisetForAUHost(unsigned index);
    void setUseProgListAsFactoryPrisetForAUv3Host(bool use);

private:
    friend class ChildPresetDocFileManager;

    ChildPresetDocFileManager* childNamed(std::string const& name) const;
    bool inUse(ChildPresetDocFileManager const& child) const;
    std::vector<Item> presetList(ChildPresetDocFileManager const& child) const;
    bool loadByIndex(ChildPresetDocFileManager& child, unsigned index);
    bool step(bool forward);
    void goToVirtualTop();

    mutable std::recursive_mutex lock_;
    PresetDocFileManagerObserver* observer_;
    Serializer* serializer_;
    SerializeWhat serializeWhat_;
    std::string name_;
    std::string fileExtension_;
    std::string presetName_;
    ChildPresetDocFileManager* currentChild_ = nullptr;
    std::vector<ChildPresetDocFileManager*> children_;
    FactoryPresetDocFileManager factory_;
    UserPresetDocFileManager user_;
    ProgrammedPresetDocFileManager program_;
    bool useProgramList_ = false;
    Item topLevelSelection_;
    path copiedPath_;
    std::string backupPresetName_;
    std::string backupText_;
};

// The entry of a tree at the virtual top: no path, the tree's name, no permissions.
PresetDocFileManager::Item makeVirtualItem(std::string const& childName);

} // namespace Lumora
