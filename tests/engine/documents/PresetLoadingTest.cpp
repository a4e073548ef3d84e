#include "engine/documents/PresetDocFileManager.h"

#include "tests/engine/documents/PresetTrees.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace bfs = boost::filesystem;
using Lumora::PresetDocFileManager;
using Item = Lumora::PresetDocFileManager::Item;
using LumoraTest::readFile;
using LumoraTest::writeFile;

namespace {

class PresetLoadingTest : public ::testing::Test {
protected:
    LumoraTest::PresetTrees trees;
    LumoraTest::FakeSerializer serializer;
    LumoraTest::RecordingObserver observer;
    PresetDocFileManager manager{trees.config(&serializer), &observer};

    std::vector<std::string> stems(std::vector<Item> const& items) {
        std::vector<std::string> out;
        for (Item const& item : items)
            out.push_back(item.stem());
        return out;
    }
};

} // namespace

TEST_F(PresetLoadingTest, FactoryPresetsLoadByIndexWithoutMovingTheBrowser) {
    EXPECT_EQ(stems(manager.factoryPrisetList()), (std::vector<std::string>{"Bright", "Warm"}));
    EXPECT_EQ(stems(manager.programList()), (std::vector<std::string>{"P1", "P2"}));

    ASSERT_TRUE(manager.loadFactoryPriset(1));
    EXPECT_EQ(serializer.state, "warm");
    EXPECT_EQ(manager.presetName(), "Warm");
    EXPECT_TRUE(manager.isInVirtualTop());
    EXPECT_TRUE(observer.places.empty());
    ASSERT_TRUE(manager.changeDirectory("Factory:."));
    ASSERT_TRUE(manager.loadFactoryPriset(0));
    EXPECT_EQ(manager.presetName(), "Bright");
    EXPECT_FALSE(manager.selectedItem()) << "the tree in view shows no selection";

    // While the tree browses a sub-folder, the index still counts in the top list.
    ASSERT_TRUE(manager.changeDirectory("Factory:Pads"));
    ASSERT_TRUE(manager.loadFactoryPriset(1));
    EXPECT_EQ(manager.presetName(), "Warm");
    EXPECT_EQ(manager.currentDirectory(), "Factory:Pads");
    EXPECT_FALSE(manager.loadFactoryPriset(2));
    EXPECT_EQ(manager.presetName(), "Warm");
}

TEST_F(PresetLoadingTest, ProgramListServesTheHostWhenAsked) {
    EXPECT_EQ(stems(manager.factoryPrisetListForAUHost()), (std::vector<std::string>{"Bright", "Warm"}));
    manager.setUseProgListAsFactoryPrisetForAUv3Host(true);
    EXPECT_EQ(stems(manager.factoryPrisetListForAUHost()), (std::vector<std::string>{"P1", "P2"}));
    ASSERT_TRUE(manager.loadFactoryPrisetForAUHost(1));
    EXPECT_EQ(serializer.state, "p2");
    EXPECT_EQ(manager.presetName(), "P2");

    EXPECT_FALSE(manager.loadProgram(2)) << "an index equal to the list's length";
    EXPECT_EQ(manager.presetName(), "P2");
    EXPECT_EQ(serializer.state, "p2");
    manager.setUseProgListAsFactoryPrisetForAUv3Host(false);
    ASSERT_TRUE(manager.loadFactoryPrisetForAUHost(0));
    EXPECT_EQ(manager.presetName(), "Bright");
}

TEST_F(PresetLoadingTest, SteppingEntersTheFactoryAndWraps) {
    ASSERT_TRUE(manager.loadNext());
    EXPECT_EQ(observer.places, (std::vector<std::string>{"Factory:."}));
    EXPECT_EQ(manager.presetName(), "Bright");
    ASSERT_TRUE(manager.loadNext());
    EXPECT_EQ(manager.presetName(), "Warm");
    ASSERT_TRUE(manager.loadNext());
    EXPECT_EQ(manager.presetName(), "Bright") << "wraps past the last preset, skipping other files";

    ASSERT_TRUE(manager.changeDirectory("User:Abc"));
    ASSERT_TRUE(manager.select(Item(trees.user / "Abc" / "c.corvane_snd", Item::Preset, "c", "corvane_snd", true,
                                    true, true, true, true, true, true)));
    ASSERT_TRUE(manager.loadNext());
    EXPECT_EQ(manager.presetName(), "a");
    ASSERT_TRUE(manager.loadPrevious());
    EXPECT_EQ(manager.presetName(), "c");

    ASSERT_TRUE(manager.changeDirectory("User:OnlyFolders"));
    EXPECT_FALSE(manager.loadNext());
    EXPECT_EQ(manager.presetName(), "c");

    PresetDocFileManager noFactory(trees.config(&serializer, false, true, true), nullptr);
    EXPECT_FALSE(noFactory.loadNext());
}

TEST_F(PresetLoadingTest, LoadNeedsAPresetAndAReadableText) {
    EXPECT_FALSE(manager.load()) << "at the virtual top";
    ASSERT_TRUE(manager.changeDirectory("Factory:."));
    EXPECT_FALSE(manager.load()) << "nothing selected";
    ASSERT_TRUE(manager.select(Item(trees.factory / "readme.txt", Item::OtherFile, "readme", "txt", false, false,
                                    false, false, false, false, false)));
    EXPECT_FALSE(manager.load());
    ASSERT_TRUE(manager.changeDirectory("User:."));
    writeFile(trees.user / "Broken.corvane_snd", "not a state");
    ASSERT_TRUE(manager.select(Item({}, Item::Preset, "Broken", "corvane_snd", false, false, false, false, false,
                                    false, false)));
    EXPECT_FALSE(manager.load()) << "the serializer refuses the text";
    EXPECT_EQ(manager.presetName(), "");
    ASSERT_TRUE(manager.select(Item({}, Item::Preset, "Mine", "corvane_snd", false, false, false, false, false, false,
                                    false)));
    ASSERT_TRUE(manager.load());
    EXPECT_EQ(manager.presetName(), "Mine");
    for (Lumora::SerializeWhat mask : serializer.masks)
        EXPECT_EQ(mask, Lumora::SerializeWhat::SoundPreset);
}

TEST_F(PresetLoadingTest, SavingWritesTheSerializersTextIntoWritableTreesOnly) {
    serializer.state = "fresh";
    ASSERT_TRUE(manager.changeDirectory("Factory:."));
    EXPECT_FALSE(manager.save("Mine"));
    EXPECT_EQ(manager.errorMessage(), "It can not be saved here.");
    EXPECT_FALSE(bfs::exists(trees.factory / "Mine.corvane_snd"));

    ASSERT_TRUE(manager.changeDirectory("User:."));
    ASSERT_TRUE(manager.save("New/Sound"));
    EXPECT_EQ(readFile(trees.user / "New-Sound.corvane_snd"), "state:fresh");
    EXPECT_EQ(manager.presetName(), "New-Sound");
    EXPECT_EQ(manager.selectedItem().name(), "New-Sound.corvane_snd");

    ASSERT_TRUE(manager.save("Mine"));
    EXPECT_EQ(readFile(trees.user / "Mine.corvane_snd"), "state:fresh") << "an existing document is replaced";
    ASSERT_TRUE(manager.save("../../escape"));
    EXPECT_TRUE(bfs::exists(trees.user / "..-..-escape.corvane_snd"));
    EXPECT_FALSE(bfs::exists(trees.folder / "escape.corvane_snd"));
}

TEST_F(PresetLoadingTest, InitializeBackupAndRestore) {
    EXPECT_FALSE(manager.canRestore());
    ASSERT_TRUE(manager.loadFactoryPriset(0));
    manager.backup();
    EXPECT_TRUE(manager.canRestore());
    manager.initialize();
    EXPECT_EQ(manager.presetName(), "initialized");
    EXPECT_EQ(serializer.state, "default");
    ASSERT_TRUE(manager.restore());
    EXPECT_EQ(manager.presetName(), "Bright");
    EXPECT_EQ(serializer.state, "bright");

    manager.setSerializeWhat(Lumora::SerializeWhat::SoundParameters);
    EXPECT_EQ(manager.serializeWhat(), Lumora::SerializeWhat::SoundParameters);
    manager.initialize();
    EXPECT_EQ(serializer.masks.back(), Lumora::SerializeWhat::SoundParameters);
    manager.setPresetName("Named");
    EXPECT_EQ(manager.presetName(), "Named");
}

// The plug-in's host lists and loads factory presets from its own thread while the main thread
// browses the same manager.
TEST_F(PresetLoadingTest, HostThreadLoadsWhileTheMainThreadBrowses) {
    std::atomic<int> loaded{0};
    std::thread host([&] {
        for (int i = 0; i < 200; ++i) {
            std::vector<Item> const list = manager.factoryPrisetListForAUHost();
            if (!list.empty() && manager.loadFactoryPrisetForAUHost(static_cast<unsigned>(i % list.size())))
                ++loaded;
        }
    });
    for (int i = 0; i < 200; ++i) {
        manager.changeDirectory(i % 2 ? "Factory:Pads" : "Factory:.");
        manager.itemList(false);
        manager.select(Item({}, Item::Preset, "Bright", "corvane_snd", false, false, false, false, false, false, false));
        (void)manager.presetName();
    }
    host.join();
    EXPECT_EQ(loaded.load(), 200);
    EXPECT_TRUE(manager.presetName() == "Bright" || manager.presetName() == "Warm");
}
