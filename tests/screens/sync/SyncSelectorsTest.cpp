#include "screens/sync/SyncScreenRig.h"

#include "model/settings/Lumora_Settings.h"
#include "screens/settings/sync/MidiPortSelectorVwCtrlr.h"
#include "screens/settings/sync/SyncMethodNames.h"
#include "screens/settings/sync/SyncMethodSelector_VwCtrlr.h"

#include <gtest/gtest.h>

using Platform::TableViewCell;
using SyncTest::ScreenRig;

namespace {

// Each row's title with "*" after the checked ones.
std::vector<std::string> rows(Platform::TableView* table)
{
    std::vector<std::string> out;
    for (int r = 0; r < table->numberOfRowsInSection(0); ++r) {
        TableViewCell* cell = table->cellForRowAtIndexPath({0, r});
        out.push_back(cell->textLabel()->text() + (cell->accessoryType() == TableViewCell::AccessoryType::Checkmark ? "*" : ""));
    }
    return out;
}

TEST(SyncMethodSelector, NeedsTheModelAndListsTheThreeSharedMethods)
{
    EXPECT_EQ(Platform::newObject<SyncMethodSelector_VwCtrlr>(), nullptr);
    EXPECT_EQ(SyncMethodSelector_VwCtrlr::make(nullptr), nullptr);
    ScreenRig s;
    auto selector = SyncMethodSelector_VwCtrlr::make(s.rig.core);
    ASSERT_TRUE(selector);
    s.navigation->pushViewController(selector, false);
    selector->viewWillAppear(false);
    EXPECT_EQ(selector->title(), "Sync Method");
    EXPECT_EQ(rows(selector->tableView()), (std::vector<std::string>{"Internal*", "MIDI", "Inter-App Audio"}));
    EXPECT_EQ(selector->tableView()->cellForRowAtIndexPath({0, 0})->textLabel()->font().pointSize(), 15);
}

TEST(SyncMethodSelector, ChoosingARowStoresItsMethodAndTheCheckMarkFollowsTheAudioIO)
{
    ScreenRig s;
    auto selector = SyncMethodSelector_VwCtrlr::make(s.rig.core);
    s.navigation->pushViewController(selector, false);
    selector->viewWillAppear(false);
    Platform::TableView* table = selector->tableView();

    table->tapRowByUser({0, 1});
    EXPECT_EQ(s.settings().syncMethod(), 1u);
    EXPECT_EQ(rows(table), (std::vector<std::string>{"Internal", "MIDI*", "Inter-App Audio"}));
    table->tapRowByUser({0, 2});
    EXPECT_EQ(s.settings().syncMethod(), 2u);
    EXPECT_EQ(rows(table), (std::vector<std::string>{"Internal", "MIDI", "Inter-App Audio*"}));
    table->tapRowByUser({0, 0});
    EXPECT_EQ(s.settings().syncMethod(), 0u);

    // The sync-method panel shows what the selector stored.
    EXPECT_EQ(s.panel<SyncMethod_SettingPanelView>().lableSyncMethod()->text(), "Internal");
}

TEST(SyncMethodSelector, ThePlugInsAudioIOChecksTheHostRow)
{
    ScreenRig s(true);
    dynamic_cast<ModelTest::TestPluginAudioIO&>(*s.rig.io).method = Lumora::SyncMethod::Host;
    auto selector = SyncMethodSelector_VwCtrlr::make(s.rig.core);
    selector->loadViewIfNeeded();
    selector->tableView()->reloadData();
    EXPECT_EQ(rows(selector->tableView()), (std::vector<std::string>{"Internal", "MIDI", "Inter-App Audio*"}));
}

TEST(SyncMethodNamesList, AMethodBeyondTheListReadsInternal)
{
    EXPECT_EQ(SyncMethodNames::nameOf(2), "Inter-App Audio");
    EXPECT_EQ(SyncMethodNames::nameOf(3), "Internal");
    EXPECT_EQ(SyncMethodNames::rowOf(3), 3);
    EXPECT_EQ(SyncMethodNames::rowOf(-1), 0);
}

// The app's audio I/O of the rig knows three sources; a fourth is added first.
class MidiPortSelector : public ::testing::Test {
protected:
    void SetUp() override
    {
        io = s.appIO();
        io->sources.clear();
        io->sources[30] = {Lumora::MidiPortSetting::ExternalSource, 30, "Thirty", true};
        io->sources[10] = {Lumora::MidiPortSetting::ExternalSource, 10, "Ten", true};
        io->sources[20] = {Lumora::MidiPortSetting::ExternalSource, 20, "Twenty", false};
        selector = MidiPortSelectorVwCtrlr::create(s.rig.core);
        ASSERT_TRUE(selector);
        s.navigation->pushViewController(selector, false);
        selector->loadViewIfNeeded();
        selector->tableView()->reloadData();
    }

    ScreenRig s;
    ModelTest::TestAppAudioIO* io = nullptr;
    std::shared_ptr<MidiPortSelectorVwCtrlr> selector;
};

TEST_F(MidiPortSelector, ListsTheSourcesByUniqueIdWithTheirState)
{
    EXPECT_EQ(Platform::newObject<MidiPortSelectorVwCtrlr>(), nullptr);
    EXPECT_EQ(selector->title(), "MIDI Input Ports");
    EXPECT_EQ(rows(selector->tableView()), (std::vector<std::string>{"Ten*", "Twenty", "Thirty*"}));
}

TEST_F(MidiPortSelector, TapsSwitchSourcesAtOnceAndClosingStoresTheUnusedOnes)
{
    selector->tableView()->tapRowByUser({0, 1});
    selector->tableView()->tapRowByUser({0, 2});
    EXPECT_TRUE(io->sources[20].enabled);
    EXPECT_FALSE(io->sources[30].enabled);
    EXPECT_EQ(rows(selector->tableView()), (std::vector<std::string>{"Ten*", "Twenty*", "Thirty"}));
    EXPECT_TRUE(s.settings().unusedMidiInPorts().empty());

    // A source that went away meanwhile is not stored, whatever its state was.
    io->sources.erase(10);
    io->sources[11] = {Lumora::MidiPortSetting::ExternalSource, 11, "Eleven", false};
    s.navigation->popViewControllerAnimated(false);
    selector.reset();
    EXPECT_EQ(s.settings().unusedMidiInPorts(), (std::vector<std::int32_t>{11, 30}));
}

TEST_F(MidiPortSelector, ChangedSourcesAreListedAgainOnTheirNotification)
{
    io->sources[5] = {Lumora::MidiPortSetting::VirtualDestination, 5, "Virtual Midi Input", true};
    s.rig.core->receiveAudioEngineNotificationWithID(1002, 0);
    EXPECT_EQ(selector->ports().size(), 3u);
    s.rig.core->receiveAudioEngineNotificationWithID(1001, 0);
    EXPECT_EQ(rows(selector->tableView()), (std::vector<std::string>{"Virtual Midi Input*", "Ten*", "Twenty", "Thirty*"}));
}

TEST(MidiPortSelectorInPlugin, ListsNothingAndStoresNothing)
{
    ScreenRig s(true);
    s.settings().setUnusedMidiInPorts({7});
    {
        auto selector = MidiPortSelectorVwCtrlr::create(s.rig.core);
        selector->loadViewIfNeeded();
        selector->tableView()->reloadData();
        EXPECT_EQ(selector->tableView()->numberOfRowsInSection(0), 0);
        selector->didSelectRowAtIndexPath(selector->tableView(), {0, 0});
    }
    EXPECT_EQ(s.settings().unusedMidiInPorts(), (std::vector<std::int32_t>{7}));
}

} // namespace
