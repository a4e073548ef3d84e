#include "engine/documents/PresetDocFileManager.h"

#include "platform/foundation/Log.h"
#include "tests/engine/documents/PresetTrees.h"

#include <gtest/gtest.h>

namespace bfs = boost::filesystem;
using Lumora::PresetDocFileManager;
using Item = Lumora::PresetDocFileManager::Item;
using LumoraTest::readFile;
using LumoraTest::writeFile;

namespace {

class PresetDocFileManagerTest : public ::testing::Test {
protected:
    LumoraTest::PresetTrees trees;
    LumoraTest::FakeSerializer serializer;
    LumoraTest::RecordingObserver observer;
    PresetDocFileManager manager{trees.config(&serializer), &observer};

    Item itemNamed(std::string const& name) {
        for (Item const& item : manager.itemList(false)) {
            if (item.name() == name)
                return item;
        }
        return Item();
    }
};

} // namespace

TEST(PresetDocFileManagerConfig, OnlyAUserTreeStartsInsideIt) {
    LumoraTest::PresetTrees trees;
    LumoraTest::FakeSerializer serializer;
    PresetDocFileManager manager(trees.config(&serializer, false, true, false), nullptr);
    EXPECT_FALSE(manager.isInVirtualTop());
    EXPECT_EQ(manager.directoryName(), "Sound Presets");
    EXPECT_FALSE(manager.canChangeDirectoryToParentDirectory());
    EXPECT_FALSE(manager.changeDirectoryToParentDirectory());
    EXPECT_EQ(manager.currentDirectory(), "User:.");
    EXPECT_EQ(manager.pack_file_extension(), "corvane_snd_pack");
    ASSERT_TRUE(manager.changeDirectoryToSubDirectory("Folder"));
    EXPECT_EQ(manager.directoryName(), "Folder");
    EXPECT_TRUE(manager.canChangeDirectoryToParentDirectory());
    manager.changeDirectoryToHomeDirectory();
    EXPECT_EQ(manager.currentDirectory(), "User:Folder") << "home is the sole tree, where it was";
    EXPECT_TRUE(manager.factoryPrisetList().empty());
    EXPECT_TRUE(manager.programList().empty());
    EXPECT_FALSE(manager.loadFactoryPriset(0));

    PresetDocFileManager::Config unusable;
    EXPECT_FALSE(unusable);
    EXPECT_TRUE(trees.config(&serializer));
}

TEST_F(PresetDocFileManagerTest, ThreeTreesStartAtTheVirtualTop) {
    EXPECT_TRUE(manager.isInVirtualTop());
    EXPECT_EQ(manager.currentDirectory(), "");
    EXPECT_EQ(manager.directoryName(), "Sound Presets");
    std::vector<Item> items = manager.itemList(false);
    ASSERT_EQ(items.size(), 3u);
    std::vector<std::string> names;
    for (Item const& item : items) {
        names.push_back(item.name());
        EXPECT_EQ(item.type(), Item::ChildRoot);
        EXPECT_TRUE(item.path().empty());
        EXPECT_TRUE(item.isDirectory());
        EXPECT_FALSE(item.canLoad() || item.canRename() || item.canRemove() || item.canCopy() || item.canPack()
                     || item.canMove() || item.canDuplicate());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Factory", "User", "Program"}));
    EXPECT_FALSE(manager.canSave() || manager.canMakeDirectory() || manager.canRenameCurrentDirectory()
                 || manager.canChangeDirectoryToParentDirectory() || manager.canRename("User"));
    EXPECT_FALSE(manager.copy());
    EXPECT_FALSE(manager.paste());
    EXPECT_FALSE(manager.rename("x"));
    EXPECT_FALSE(manager.remove());
    EXPECT_FALSE(manager.changeDirectoryToParentDirectory());
    EXPECT_EQ(manager.errorMessage(), "");

    ASSERT_TRUE(manager.select(Lumora::makeVirtualItem("User")));
    EXPECT_EQ(manager.selectedItem().name(), "User");
    EXPECT_FALSE(manager.select(Lumora::makeVirtualItem("Nothing")));
    EXPECT_FALSE(manager.selectedItem());
    EXPECT_TRUE(observer.places.empty()) << "construction tells nobody";
}

TEST_F(PresetDocFileManagerTest, BrowsingUpAndDownTellsTheObserver) {
    ASSERT_TRUE(manager.changeDirectoryToSubDirectory("User"));
    EXPECT_EQ(manager.directoryName(), "User");
    ASSERT_TRUE(manager.changeDirectoryToSubDirectory("Folder"));
    ASSERT_TRUE(manager.select(itemNamed("Deep")));
    ASSERT_TRUE(manager.changeDirectoryToParentDirectory());
    EXPECT_FALSE(manager.selectedItem());
    ASSERT_TRUE(manager.changeDirectoryToParentDirectory());
    EXPECT_TRUE(manager.isInVirtualTop());
    EXPECT_FALSE(manager.changeDirectoryToSubDirectory("Nothing"));
    EXPECT_EQ(observer.places, (std::vector<std::string>{"User:.", "User:Folder", "User:.", ""}));

    // Each tree keeps its own place while another is browsed.
    ASSERT_TRUE(manager.changeDirectory("User:Folder/Deep"));
    ASSERT_TRUE(manager.changeDirectory("Factory:Pads"));
    ASSERT_TRUE(manager.changeDirectoryToParentDirectory());
    ASSERT_TRUE(manager.changeDirectoryToParentDirectory());
    ASSERT_TRUE(manager.changeDirectoryToSubDirectory("User"));
    EXPECT_EQ(manager.currentDirectory(), "User:Folder/Deep");
    EXPECT_EQ(manager.directoryName(), "Deep");
}

TEST_F(PresetDocFileManagerTest, RenamingTheCurrentFolderTellsTheObserverItsNewName) {
    ASSERT_TRUE(manager.changeDirectory("User:Folder/Deep"));
    observer.places.clear();
    ASSERT_TRUE(manager.renameCurrentDirectory("Renamed"));
    EXPECT_EQ(manager.currentDirectory(), "User:Folder/Renamed");
    EXPECT_EQ(observer.places, std::vector<std::string>{"User:Folder/Renamed"});
    // The remembered place leads back to it.
    manager.changeDirectoryToHomeDirectory();
    EXPECT_TRUE(manager.changeDirectory(observer.places.back()));
    // A refused rename tells nothing.
    observer.places.clear();
    EXPECT_FALSE(manager.renameCurrentDirectory(""));
    EXPECT_TRUE(observer.places.empty());
}

TEST_F(PresetDocFileManagerTest, DirectoryStringsRoundTripAndBadOnesChangeNothing) {
    for (std::string const place : {"User:Folder/Deep", "User:.", "Factory:Pads", "Program:.", ""}) {
        ASSERT_TRUE(manager.changeDirectory(place)) << place;
        EXPECT_EQ(manager.currentDirectory(), place);
        EXPECT_EQ(observer.places.back(), place);
        PresetDocFileManager other(trees.config(&serializer), nullptr);
        ASSERT_TRUE(other.changeDirectory(manager.currentDirectory()));
        EXPECT_EQ(other.currentDirectory(), place);
    }
    ASSERT_TRUE(manager.changeDirectory("User:Folder"));
    size_t const told = observer.places.size();
    for (std::string const bad : {"User", "User:Folder:Deep", "Nowhere:.", "Factory:Missing", "::", ":."}) {
        EXPECT_FALSE(manager.changeDirectory(bad)) << bad;
    }
    EXPECT_EQ(observer.places.size(), told);
    // The named tree becomes current even when its folder is missing; it keeps its own place.
    EXPECT_EQ(manager.currentDirectory(), "Factory:Pads");

    PresetDocFileManager userOnly(trees.config(&serializer, false, true, false), nullptr);
    EXPECT_FALSE(userOnly.changeDirectory("Factory:."));
    EXPECT_EQ(userOnly.currentDirectory(), "User:.");
}

TEST_F(PresetDocFileManagerTest, HostileDirectoryStringsNeverLeaveTheTree) {
    bfs::create_directory_symlink(trees.folder / "outside", trees.user / "escape");
    ASSERT_TRUE(manager.changeDirectory("User:Folder"));
    for (std::string const& hostile : std::vector<std::string>{"User:../..", "User:..", "User:/", "User:" + (trees.folder / "outside").string(),
                                      "User:Folder/../..", "User:escape", "User:Folder/../../outside",
                                      "User:" + std::string("Folder\0/..", 10)}) {
        EXPECT_FALSE(manager.changeDirectory(hostile)) << hostile;
        EXPECT_EQ(manager.currentDirectory(), "User:Folder") << hostile;
    }
    EXPECT_FALSE(manager.changeDirectoryToSubDirectory(".."));
    EXPECT_FALSE(manager.changeDirectoryToSubDirectory("../../outside"));
    ASSERT_TRUE(manager.changeDirectoryToParentDirectory());
    EXPECT_FALSE(manager.changeDirectoryToSubDirectory("escape"));
    for (Item const& item : manager.itemList(true))
        EXPECT_NE(item.stem(), "Stolen");
    EXPECT_FALSE(manager.select(Item(trees.folder / "outside" / "Stolen.corvane_snd", Item::Preset, "../outside/Stolen",
                                     "corvane_snd", true, true, true, true, true, true, true)));
    EXPECT_FALSE(manager.load());
    EXPECT_EQ(serializer.state, "default");
}

TEST_F(PresetDocFileManagerTest, FactoryTreeIsReadOnly) {
    ASSERT_TRUE(manager.changeDirectory("Factory:."));
    Item const bright = itemNamed("Bright.corvane_snd");
    ASSERT_EQ(bright.type(), Item::Preset);
    EXPECT_EQ(bright.stem(), "Bright");
    EXPECT_EQ(bright.extension(), "corvane_snd");
    EXPECT_TRUE(bright.canLoad() && bright.canCopy() && bright.canPack());
    EXPECT_FALSE(bright.canRename() || bright.canRemove() || bright.canMove() || bright.canDuplicate());
    Item const pads = itemNamed("Pads");
    EXPECT_EQ(pads.type(), Item::Directory);
    EXPECT_TRUE(pads.canCopy() && pads.canPack() && !pads.canRemove());
    Item const readme = itemNamed("readme.txt");
    EXPECT_EQ(readme.type(), Item::OtherFile);
    EXPECT_FALSE(readme.canCopy() || readme.canPack() || readme.canLoad());
    Item const odd = itemNamed("Odd.CORVANE_SND");
    EXPECT_EQ(odd.type(), Item::OtherFile) << "file types compare case-sensitively";
    EXPECT_FALSE(odd.canLoad());
    EXPECT_FALSE(manager.canSave());
    EXPECT_FALSE(manager.canMakeDirectory());

    ASSERT_TRUE(manager.select(bright));
    EXPECT_FALSE(manager.rename("Stolen"));
    EXPECT_EQ(manager.errorMessage(), "The selected file (or directory) can not be renamed.");
    EXPECT_FALSE(manager.remove());
    EXPECT_EQ(manager.errorMessage(), "The selected file (or directory) can not be deleted.");
    EXPECT_FALSE(manager.makeDirectory("New"));
    EXPECT_EQ(manager.errorMessage(), "No directory can be created in this directory.");
    EXPECT_TRUE(manager.copy());
    EXPECT_FALSE(manager.paste());
    EXPECT_EQ(manager.errorMessage(), "No directory can be created in this directory.") << "paste sets no message";
    EXPECT_TRUE(bfs::exists(trees.factory / "Bright.corvane_snd"));
    EXPECT_EQ(manager.itemList(true).size(), 2u) << "the filter applies to folders too";
}

TEST_F(PresetDocFileManagerTest, CopyPasteRenameRemoveBetweenTrees) {
    ASSERT_TRUE(manager.changeDirectory("Factory:."));
    ASSERT_TRUE(manager.select(itemNamed("Bright.corvane_snd")));
    ASSERT_TRUE(manager.copy());
    ASSERT_TRUE(manager.changeDirectory("User:Folder"));
    ASSERT_TRUE(manager.paste());
    EXPECT_EQ(readFile(trees.user / "Folder" / "Bright.corvane_snd"), "state:bright");
    EXPECT_FALSE(manager.paste()) << "a second paste finds the name taken";

    ASSERT_TRUE(manager.select(itemNamed("Bright.corvane_snd")));
    ASSERT_TRUE(manager.copy());
    ASSERT_TRUE(manager.rename("Brighter"));
    EXPECT_TRUE(bfs::exists(trees.user / "Folder" / "Brighter.corvane_snd")) << "a preset keeps its file type";
    EXPECT_FALSE(manager.paste()) << "the copied entry was renamed away";
    ASSERT_TRUE(manager.select(itemNamed("Deep")));
    ASSERT_TRUE(manager.rename("Deep:er"));
    EXPECT_TRUE(bfs::is_directory(trees.user / "Folder" / "Deep-er"));

    ASSERT_TRUE(manager.copy());
    ASSERT_TRUE(manager.remove());
    EXPECT_FALSE(bfs::exists(trees.user / "Folder" / "Deep-er"));
    EXPECT_FALSE(manager.selectedItem());
    EXPECT_FALSE(manager.paste());

    ASSERT_TRUE(manager.makeDirectory("Fresh"));
    EXPECT_TRUE(manager.canRename("Fresh"));
    EXPECT_FALSE(manager.canRename(""));
    EXPECT_TRUE(manager.canMove("Brighter.corvane_snd"));
    ASSERT_TRUE(manager.changeDirectoryToSubDirectory("Fresh"));
    ASSERT_TRUE(manager.renameCurrentDirectory("Fresher"));
    EXPECT_EQ(manager.currentDirectory(), "User:Folder/Fresher");

    auto const tree = manager.directoryListUnderUserDirectory();
    ASSERT_FALSE(tree.empty());
    EXPECT_EQ(tree.front().fullPath, trees.user);
}

TEST_F(PresetDocFileManagerTest, ProgramTreeTakesFilesOnly) {
    ASSERT_TRUE(manager.changeDirectory("User:."));
    ASSERT_TRUE(manager.select(itemNamed("Folder")));
    ASSERT_TRUE(manager.copy());
    ASSERT_TRUE(manager.changeDirectory("Program:."));
    EXPECT_FALSE(manager.paste());
    EXPECT_FALSE(manager.makeDirectory("Sub"));
    EXPECT_FALSE(manager.changeDirectoryToSubDirectory("Anything"));

    ASSERT_TRUE(manager.changeDirectory("User:."));
    ASSERT_TRUE(manager.select(itemNamed("Mine.corvane_snd")));
    ASSERT_TRUE(manager.copy());
    ASSERT_TRUE(manager.changeDirectory("Program:."));
    ASSERT_TRUE(manager.paste());
    EXPECT_EQ(readFile(trees.program / "Mine.corvane_snd"), "state:mine");

    // The Program tree does not ask whether the name is free; a copy that fails is reported.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(manager.paste());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("copyFile: "), std::string::npos);
    EXPECT_EQ(manager.errorMessage(), "Failed to paste the file.");
    EXPECT_EQ(readFile(trees.program / "Mine.corvane_snd"), "state:mine");
}

TEST_F(PresetDocFileManagerTest, PackAndUnpackIntoTheUserTop) {
    ASSERT_TRUE(manager.changeDirectory("Factory:."));
    ASSERT_TRUE(manager.select(itemNamed("Pads")));
    bfs::path const zip = trees.folder / ("Pads." + manager.pack_file_extension());
    ASSERT_TRUE(manager.pack(zip));
    ASSERT_TRUE(manager.select(itemNamed("readme.txt")));
    EXPECT_FALSE(manager.pack(trees.folder / "readme.zip")) << "other files are not packed";

    ASSERT_TRUE(manager.unpack(zip)) << "extracted into User, not Factory";
    EXPECT_EQ(readFile(trees.user / "Pads" / "Soft.corvane_snd"), "state:soft");
    EXPECT_EQ(manager.currentDirectory(), "Factory:.");

    Platform::ScopedLogCapture log;
    writeFile(trees.folder / "hostile.corvane_snd_pack", "junk");
    EXPECT_FALSE(manager.unpack(trees.folder / "hostile.corvane_snd_pack"));

    PresetDocFileManager noUser(trees.config(&serializer, true, false, true), nullptr);
    EXPECT_FALSE(noUser.unpack(zip));
    EXPECT_TRUE(noUser.directoryListUnderUserDirectory().empty());
}

TEST_F(PresetDocFileManagerTest, OverwriteCheckAsksForTheNameThatIsWritten) {
    ASSERT_TRUE(manager.changeDirectory("User:."));
    writeFile(trees.user / "a-b.corvane_snd", "state:existing");
    EXPECT_TRUE(manager.fileExistCheckForSaving("Mine"));
    EXPECT_TRUE(manager.fileExistCheckForSaving("a/b")) << "a/b is saved as a-b";
    EXPECT_FALSE(manager.fileExistCheckForSaving("Other"));
}

TEST(PresetDocFileManagerItem, TrimmingEqualityAndClearing) {
    Item item("/x/Name.ext", Item::Preset, "\tName\r\n", " .ext\n", true, false, false, true, true, false, false);
    EXPECT_EQ(item.stem(), "Name");
    EXPECT_EQ(item.extension(), "ext");
    EXPECT_EQ(item.name(), "Name.ext");
    EXPECT_TRUE(item.isPreset());
    Item same("/elsewhere", Item::Preset, "Name", "ext", false, false, false, false, false, false, false);
    EXPECT_TRUE(item == same) << "paths are not compared";
    item.clear();
    EXPECT_FALSE(item);
    EXPECT_EQ(item.stem(), "");
    EXPECT_EQ(item.name(), "");
    EXPECT_FALSE(item.canLoad());
    EXPECT_TRUE(Item("/d", Item::Reserved, "r", "", false, false, false, false, false, false, false).isPreset());
}
