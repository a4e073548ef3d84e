#include "engine/documents/FileManager.h"

#include "platform/foundation/Log.h"
#include "tests/engine/files/TestFolder.h"

#include <gtest/gtest.h>

namespace bfs = boost::filesystem;
using Lumora::FileManager;
using LumoraTest::readFile;
using LumoraTest::TestFolder;
using LumoraTest::writeFile;

namespace {

class FileManagerTest : public ::testing::Test {
protected:
    FileManagerTest() : top(folder / "User"), manager("User", top) {
        writeFile(top / "a.corvane_snd", "A");
        writeFile(top / "b.corvane_snd", "B");
        writeFile(top / "c.corvane_snd", "C");
        writeFile(top / "Sub" / "inner.corvane_snd", "inner");
        bfs::create_directories(top / "Empty");
        writeFile(folder / "outside" / "secret.corvane_snd", "not yours");
    }

    TestFolder folder;
    bfs::path top;
    FileManager manager;
};

} // namespace

TEST_F(FileManagerTest, SavedNamesLoseInvalidAndControlCharactersAndAreSelected) {
    ASSERT_TRUE(manager.save("a/b:c\\d\te\x7f" "f.corvane_snd", "text"));
    EXPECT_EQ(manager.selectedPath(), top / "a-b-c-d-e-f.corvane_snd");
    EXPECT_EQ(manager.load(), std::make_pair(true, std::string("text")));
    EXPECT_EQ(FileManager::convertValidPath("\\/:*?\"'<>|ok\n\r"), "----------ok--");
    EXPECT_EQ(FileManager::invalidCharactersForPath(), "\\/:*?\"'<>|");
    EXPECT_TRUE(FileManager::isContainingInvalidCharactersForPath("x\ny"));
    EXPECT_TRUE(FileManager::isContainingInvalidCharactersForPath("x?y"));
    EXPECT_FALSE(FileManager::isContainingInvalidCharactersForPath("Grand Piano (soft)"));

    // Saving again replaces the file.
    ASSERT_TRUE(manager.save("a-b-c-d-e-f.corvane_snd", "new"));
    EXPECT_EQ(readFile(top / "a-b-c-d-e-f.corvane_snd"), "new");
    EXPECT_EQ(manager.errorMessage(), "");
}

TEST_F(FileManagerTest, HostileNamesAndPathsNeverLeaveTheTree) {
    bfs::create_directory_symlink(folder / "outside", top / "link");
    for (std::string const name : {"..", ".", ""}) {
        EXPECT_FALSE(manager.save(name, "x")) << name;
        EXPECT_EQ(manager.errorMessage(), "Failed to save.");
        EXPECT_FALSE(manager.makeDirectory(name)) << name;
        EXPECT_FALSE(manager.changeDirectoryToSubDirectory(name)) << name;
        EXPECT_FALSE(manager.select(name)) << name;
    }
    for (char const* relative : {"..", "../outside", "Sub/../..", "/", "/etc", "link", "Sub/../../outside"})
        EXPECT_FALSE(manager.changeDirectory(relative)) << relative;
    EXPECT_FALSE(manager.changeDirectoryToSubDirectory("link"));
    EXPECT_FALSE(manager.select("../outside/secret.corvane_snd"));
    EXPECT_FALSE(manager.canLoad("../outside/secret.corvane_snd"));
    EXPECT_EQ(manager.currentDirectory(), top);

    // A document that links outside is not written through.
    bfs::create_symlink(folder / "outside" / "secret.corvane_snd", top / "trap.corvane_snd");
    EXPECT_FALSE(manager.save("trap.corvane_snd", "overwritten"));
    EXPECT_EQ(readFile(folder / "outside" / "secret.corvane_snd"), "not yours");

    ASSERT_TRUE(manager.select("a.corvane_snd"));
    EXPECT_FALSE(manager.rename(".."));
    EXPECT_EQ(manager.errorMessage(), "Failed to rename file (or directory).");
    EXPECT_TRUE(bfs::exists(top / "a.corvane_snd"));

    ASSERT_TRUE(manager.changeDirectory("Sub"));
    EXPECT_FALSE(manager.renameCurrentDirectory(".."));
    EXPECT_EQ(manager.errorMessage(), "Failed to rename the directory.");
    EXPECT_TRUE(manager.changeDirectory("./Sub/"));
    EXPECT_EQ(manager.currentDirectory(), top / "Sub");
    EXPECT_FALSE(manager.changeDirectory(std::string("Sub\0junk", 8)));
    EXPECT_EQ(manager.currentDirectory(), top / "Sub");
    EXPECT_TRUE(manager.changeDirectory("."));
    EXPECT_TRUE(manager.isInTopDirectory());
}

TEST_F(FileManagerTest, PermissionIsAskedBeforeTheSelectionOnRemoveButNotOnRename) {
    EXPECT_FALSE(manager.remove());
    EXPECT_EQ(manager.errorMessage(), "The selected file (or directory) can not be deleted.");
    EXPECT_FALSE(manager.rename("x"));
    EXPECT_EQ(manager.errorMessage(), "No file (or directory) selected.");
    EXPECT_FALSE(manager.load().first);
    EXPECT_EQ(manager.errorMessage(), "The selected file can not be load.");

    ASSERT_TRUE(manager.select("Sub"));
    EXPECT_FALSE(manager.load().first) << "a folder is not loaded";
    ASSERT_TRUE(manager.rename("Renamed"));
    EXPECT_EQ(manager.selectedPath(), top / "Renamed");
    EXPECT_TRUE(bfs::exists(top / "Renamed" / "inner.corvane_snd"));
    ASSERT_TRUE(manager.select("b.corvane_snd"));
    EXPECT_FALSE(manager.rename("c.corvane_snd"));
    EXPECT_EQ(manager.errorMessage(), "Failed to rename file (or directory).");
    EXPECT_EQ(readFile(top / "c.corvane_snd"), "C");
    ASSERT_TRUE(manager.select("Renamed"));
    ASSERT_TRUE(manager.remove());
    EXPECT_FALSE(bfs::exists(top / "Renamed"));
    EXPECT_TRUE(manager.selectedPath().empty());
    EXPECT_EQ(manager.errorMessage(), "");
}

TEST_F(FileManagerTest, MakeDirectoryAndSaveFailures) {
    EXPECT_FALSE(manager.makeDirectory("a.corvane_snd"));
    EXPECT_EQ(manager.errorMessage(), "There is a directory with the same name.");
    ASSERT_TRUE(manager.makeDirectory("New:Folder"));
    EXPECT_EQ(manager.selectedPath(), top / "New-Folder");
    EXPECT_TRUE(bfs::is_directory(top / "New-Folder"));
    EXPECT_FALSE(manager.save("Sub", "x")) << "a folder is not a document";
    EXPECT_EQ(manager.errorMessage(), "Failed to save.");
    EXPECT_TRUE(bfs::is_directory(top / "Sub"));
}

TEST_F(FileManagerTest, SelectionByIndexAndStepping) {
    std::string const type = "corvane_snd";
    EXPECT_FALSE(manager.select(3, type));
    EXPECT_TRUE(manager.selectedPath().empty());
    ASSERT_TRUE(manager.select(2, type));
    EXPECT_EQ(manager.selectedPath(), top / "c.corvane_snd");
    ASSERT_TRUE(manager.next(type));
    EXPECT_EQ(manager.selectedPath(), top / "a.corvane_snd") << "wraps after the last";
    ASSERT_TRUE(manager.previous(type));
    EXPECT_EQ(manager.selectedPath(), top / "c.corvane_snd") << "wraps before the first";
    manager.unselect();
    ASSERT_TRUE(manager.next(type));
    EXPECT_EQ(manager.selectedPath(), top / "a.corvane_snd");
    manager.unselect();
    ASSERT_TRUE(manager.previous(type));
    EXPECT_EQ(manager.selectedPath(), top / "a.corvane_snd");
    // Unfiltered, folders come first.
    manager.unselect();
    ASSERT_TRUE(manager.next(""));
    EXPECT_EQ(manager.selectedPath(), top / "Empty");

    ASSERT_TRUE(manager.changeDirectoryToSubDirectory("Empty"));
    EXPECT_FALSE(manager.next(type));
    EXPECT_FALSE(manager.previous(type));
    EXPECT_TRUE(manager.selectedPath().empty());
}

TEST_F(FileManagerTest, NavigationKeepsStateWhenItFails) {
    ASSERT_TRUE(manager.select("a.corvane_snd"));
    EXPECT_FALSE(manager.canChangeDirectoryToParentDirectory());
    EXPECT_FALSE(manager.changeDirectoryToParentDirectory());
    EXPECT_EQ(manager.selectedPath(), top / "a.corvane_snd");
    EXPECT_FALSE(manager.changeDirectory("Missing/Deeper"));
    EXPECT_EQ(manager.currentDirectory(), top);
    EXPECT_EQ(manager.selectedPath(), top / "a.corvane_snd");
    EXPECT_FALSE(manager.changeDirectoryToSubDirectory("a.corvane_snd"));

    ASSERT_TRUE(manager.changeDirectoryToSubDirectory("Sub"));
    EXPECT_FALSE(manager.isInTopDirectory());
    EXPECT_TRUE(manager.selectedPath().empty());
    ASSERT_TRUE(manager.changeDirectoryToParentDirectory());
    EXPECT_TRUE(manager.isInTopDirectory());

    FileManager slashed("User", top.string() + "/");
    ASSERT_TRUE(slashed.changeDirectoryToSubDirectory("Sub"));
    ASSERT_TRUE(slashed.changeDirectoryToParentDirectory());
    EXPECT_TRUE(slashed.isInTopDirectory());
    EXPECT_TRUE(FileManager("None", "").isNull());
}

TEST_F(FileManagerTest, CurrentDirectoryRename) {
    EXPECT_FALSE(manager.renameCurrentDirectory("x"));
    EXPECT_EQ(manager.errorMessage(), "The directory names can not be changed.");
    ASSERT_TRUE(manager.changeDirectory("Sub"));
    EXPECT_FALSE(manager.renameCurrentDirectory("Empty"));
    EXPECT_EQ(manager.errorMessage(), "There is a directory with the same name.");
    ASSERT_TRUE(manager.renameCurrentDirectory("Better|Name"));
    EXPECT_EQ(manager.currentDirectory(), top / "Better-Name");
    EXPECT_TRUE(bfs::exists(top / "Better-Name" / "inner.corvane_snd"));
}

TEST_F(FileManagerTest, CopyAndPaste) {
    ASSERT_TRUE(manager.changeDirectory("Empty"));
    EXPECT_TRUE(manager.copyFilesToCurrentDirectory(top / "a.corvane_snd"));
    EXPECT_TRUE(manager.copyFilesToCurrentDirectory(top / "Sub"));
    EXPECT_EQ(readFile(top / "Empty" / "Sub" / "inner.corvane_snd"), "inner");
    EXPECT_FALSE(manager.copyFilesToCurrentDirectory(top / "a.corvane_snd"));
    EXPECT_EQ(manager.errorMessage(), "Copied file can not be pasted into this directory.\n" + (top / "Empty").string());
    EXPECT_FALSE(manager.copyFilesToCurrentDirectory(top / "missing"));

    // A folder is never pasted into itself or below itself.
    ASSERT_TRUE(manager.changeDirectory("Sub"));
    EXPECT_FALSE(manager.canPaste(top / "Sub"));
    EXPECT_FALSE(manager.copyFilesToCurrentDirectory(top / "Sub"));
    writeFile(top / "Sub" / "Deeper" / "x.corvane_snd", "x");
    ASSERT_TRUE(manager.changeDirectory("Sub/Deeper"));
    EXPECT_FALSE(manager.copyFilesToCurrentDirectory(top / "Sub"));
    EXPECT_FALSE(bfs::exists(top / "Sub" / "Deeper" / "Sub"));
    EXPECT_TRUE(manager.copyFilesToCurrentDirectory(top / "Empty" / "Sub"));
    EXPECT_TRUE(manager.copyFilesToCurrentDirectory(top / "a.corvane_snd"));
}

TEST_F(FileManagerTest, PackAndUnpackAlwaysIntoTheTop) {
    bfs::path const zip = folder / "pack.corvane_snd_pack";
    EXPECT_FALSE(manager.pack(zip));
    EXPECT_EQ(manager.errorMessage(), "No file (or directory) selected.");
    ASSERT_TRUE(manager.select("Empty"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(manager.pack(zip));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(manager.errorMessage(), "The directory is empty.");

    ASSERT_TRUE(manager.select("Sub"));
    ASSERT_TRUE(manager.pack(zip));
    ASSERT_TRUE(manager.select("b.corvane_snd"));
    testing::internal::CaptureStderr();
    ASSERT_TRUE(manager.pack(folder / "single.corvane_snd_pack"));
    testing::internal::GetCapturedStderr();

    ASSERT_TRUE(manager.changeDirectory("Empty"));
    bfs::remove_all(top / "Sub");
    ASSERT_TRUE(manager.unpack(zip));
    EXPECT_EQ(readFile(top / "Sub" / "inner.corvane_snd"), "inner");
    EXPECT_TRUE(bfs::is_empty(top / "Empty"));

    Platform::ScopedLogCapture log;
    writeFile(folder / "broken.corvane_snd_pack", "not a zip");
    EXPECT_FALSE(manager.unpack(folder / "broken.corvane_snd_pack"));
    EXPECT_EQ(manager.errorMessage(), "Failed to unpack the file.");
    manager.changeDirectoryToTopDirectory();
    ASSERT_TRUE(manager.select("a.corvane_snd"));
    EXPECT_FALSE(manager.pack(folder / "no" / "such" / "folder.zip"));
    EXPECT_EQ(manager.errorMessage(), "Failed to pack the file.");
}

TEST_F(FileManagerTest, DirectoryTreeInPreOrder) {
    TestFolder tree;
    bfs::create_directories(tree / "a" / "b");
    bfs::create_directories(tree / "a" / "c");
    bfs::create_directories(tree / "d");
    writeFile(tree / "a" / "file", "f");
    FileManager::DirectoryTree list = FileManager::directoryList(tree.path());
    std::vector<std::pair<std::string, unsigned>> seen;
    for (auto const& item : list) {
        EXPECT_TRUE(item.isDirectory);
        seen.emplace_back(item.fullPath.lexically_relative(tree.path()).string(), item.depth);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, unsigned>>{{".", 0}, {"a", 1}, {"a/b", 2}, {"a/c", 2}, {"d", 1}}));

    FileManager::DirectoryTree withFiles;
    Lumora::traverseDirectory(withFiles, tree.path(), 1, false);
    ASSERT_EQ(withFiles.size(), 5u);
    EXPECT_EQ(withFiles[3].fullPath, tree / "a" / "file");
    EXPECT_FALSE(withFiles[3].isDirectory);
}
