#include "app/screens/AppScreens.h"
#include "app/screens/About_ViewController_App.h"
#include "app/screens/SyncMethodSelector_VwCtrlr_App.h"

#include "app/AudioIO_for_iOS_App.h"
#include "linkkit/ABLLink.h"
#include "linkkit/ABLLinkKeys.h"
#include "linkkit/views/ABLLinkSettingsViewController.h"
#include "linkkit/views/ABLSettingsViewController.h"
#include "model/settings/Lumora_Settings.h"
#include "model/support/ModelTestSupport.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextView.h"
#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"
#include "screens/settings/sync/SyncMethodNames.h"
#include "screens/settings/sync/SyncMethod_SettingPanelView.h"
#include "app/support/AudioIOAppTestSupport.h"
#include "common/TestIsolation.h"

#include <gtest/gtest.h>

namespace {

using Platform::TableViewCell;

std::vector<std::string> rows(Platform::TableView* table)
{
    std::vector<std::string> out;
    for (int r = 0; r < table->numberOfRowsInSection(0); ++r) {
        TableViewCell* cell = table->cellForRowAtIndexPath({0, r});
        out.push_back(cell->textLabel()->text() + (cell->accessoryType() == TableViewCell::AccessoryType::Checkmark ? "*" : ""));
    }
    return out;
}

void flip(Platform::Switch* control, bool on)
{
    control->setOn(on);
    control->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
}

// The model over the test synth with the app's own audio I/O, opened (so it has its Link
// object), and the app's variants in place; the selector on a settings navigation stack.
class AppSettingsVariants : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!TestIsolation::enterPrivateLoopbackNetwork())
            GTEST_SKIP() << "no private network namespace here; Link sessions are only run inside one";
        AppScreens::registerAppScreens();
        Platform::UserDefaults::standard()->removeObjectForKey(kABLLinkEnabledKey);
        auto app = std::make_unique<Lumora::AudioIO_for_iOS_App>(rig.core->audioEngine(), AppAudioTest::testConfig());
        io = app.get();
        rig.io = std::move(app);
        ASSERT_TRUE(io->open(256, 48000.0f));
        ASSERT_NE(io->link(), nullptr);
        navigation = Platform::NavigationController::withRootViewController(std::make_shared<Platform::ViewController>());
        navigation->view()->setFrame(Platform::Rect(0, 0, 400, 600));
        openSelector();
    }
    void TearDown() override
    {
        selector.reset();
        navigation.reset();
        if (io)
            io->close();
        Platform::RunLoop::main().runOnce();
    }

    void openSelector()
    {
        auto made = SyncMethodSelector_VwCtrlr::make(rig.core);
        selector = std::dynamic_pointer_cast<SyncMethodSelector_VwCtrlr_App>(made);
        ASSERT_TRUE(selector);
        navigation->pushViewController(selector, false);
        selector->loadViewIfNeeded();
        selector->viewWillAppear(false);
    }
    // Opens the Link settings from the selector's fourth row, switches Link, comes back.
    ABLSettingsViewController& openLinkSettings()
    {
        selector->tableView()->tapRowByUser({0, 3});
        auto* link = dynamic_cast<ABLSettingsViewController*>(navigation->topViewController());
        if (!link)
            throw std::runtime_error("Link settings not pushed");
        link->loadViewIfNeeded();
        return *link;
    }
    void comeBack()
    {
        navigation->popViewControllerAnimated(false);
        selector->viewWillAppear(false);
    }
    std::uint32_t method() { return rig.core->settings()->syncMethod(); }

    ModelTest::CoreRig rig;
    Lumora::AudioIO_for_iOS_App* io = nullptr;
    std::shared_ptr<Platform::NavigationController> navigation;
    std::shared_ptr<SyncMethodSelector_VwCtrlr_App> selector;
};

TEST_F(AppSettingsVariants, TheSelectorListsLinkAsAFourthMethod)
{
    EXPECT_EQ(selector->title(), "Sync Method");
    EXPECT_EQ(rows(selector->tableView()), (std::vector<std::string>{"Internal*", "MIDI", "Inter-App Audio", "Ableton Link"}));
    selector->tableView()->tapRowByUser({0, 1});
    EXPECT_EQ(method(), 1u);
    EXPECT_EQ(rows(selector->tableView())[1], "MIDI*");
}

TEST_F(AppSettingsVariants, ChoosingLinkOpensItsSettingsAndSwitchingItOnMakesLinkTheMethod)
{
    ABLSettingsViewController& link = openLinkSettings();
    EXPECT_EQ(method(), 0u);
    flip(link.enableSwitch(), true);
    Platform::RunLoop::main().runOnce();
    EXPECT_EQ(method(), 3u);
    comeBack();
    EXPECT_EQ(rows(selector->tableView()), (std::vector<std::string>{"Internal", "MIDI", "Inter-App Audio", "Ableton Link*"}));
    EXPECT_TRUE(selector->lastAbLinkEnabled());
    EXPECT_FALSE(selector->openAbLinkSettings());
}

TEST_F(AppSettingsVariants, SwitchingLinkOffWhileInUseReturnsToTheInternalClock)
{
    flip(openLinkSettings().enableSwitch(), true);
    Platform::RunLoop::main().runOnce();
    comeBack();
    ASSERT_EQ(method(), 3u);

    // Back without touching the switch: the method stays.
    openLinkSettings();
    comeBack();
    EXPECT_EQ(method(), 3u);

    flip(openLinkSettings().enableSwitch(), false);
    Platform::RunLoop::main().runOnce();
    comeBack();
    EXPECT_EQ(method(), 0u);
    EXPECT_EQ(rows(selector->tableView())[0], "Internal*");
}

TEST_F(AppSettingsVariants, LeavingLinkOffKeepsTheChosenMethod)
{
    selector->tableView()->tapRowByUser({0, 1});
    openLinkSettings();
    comeBack();
    EXPECT_EQ(method(), 1u);
}

TEST_F(AppSettingsVariants, AGoneSelectorIsNoLongerCalledByTheLinkKit)
{
    auto linkView = std::dynamic_pointer_cast<ABLSettingsViewController>(ABLLinkSettingsViewController::instance(io->link()));
    navigation->popViewControllerAnimated(false);
    selector.reset();
    linkView->loadViewIfNeeded();
    flip(linkView->enableSwitch(), true);
    Platform::RunLoop::main().runOnce();
    EXPECT_EQ(method(), 0u);
}

TEST_F(AppSettingsVariants, ThePanelNamesAllFourMethods)
{
    auto screen = Lumora_SettingsVwCtrlr::create(rig.core, Lumora_SettingsVwCtrlr::PanelClasses{
                                                              Lumora_SettingPanelClass::of<SyncMethod_SettingPanelView>(),
                                                              Lumora_SettingPanelClass::of<About_SettingPanelView>()});
    ASSERT_TRUE(screen);
    screen->loadViewIfNeeded();
    auto* panel = dynamic_cast<SyncMethod_SettingPanelView*>(
        screen->panelForClass(Lumora_SettingPanelClass::of<SyncMethod_SettingPanelView>()));
    ASSERT_NE(panel, nullptr);
    struct Case { std::uint32_t stored; char const* shown; };
    for (Case const& c : {Case{3, "Ableton Link"}, Case{2, "Inter-App Audio"}, Case{7, "Internal"}}) {
        rig.core->settings()->setSyncMethod(c.stored);
        EXPECT_EQ(panel->lableSyncMethod()->text(), c.shown) << c.stored;
    }

    // The About panel is the app's, and opens the app's About screen.
    auto* about = dynamic_cast<About_SettingPanelView_App*>(
        screen->panelForClass(Lumora_SettingPanelClass::of<About_SettingPanelView>()));
    ASSERT_NE(about, nullptr);
    auto settingsNavigation = Platform::NavigationController::withRootViewController(screen);
    about->actionShowAppAbout(nullptr);
    auto* aboutScreen = dynamic_cast<About_ViewController_App*>(settingsNavigation->topViewController());
    ASSERT_NE(aboutScreen, nullptr);
    std::string const text = aboutScreen->acknowledgmentsText();
    auto const boost = text.find("Boost C++ Libraries");
    auto const audiobus = text.find("Audiobus SDK 3.0.15");
    auto const link = text.find("Ableton Link\nhttps://");
    auto const minizip = text.find("minizip\n");
    ASSERT_NE(audiobus, std::string::npos);
    ASSERT_NE(link, std::string::npos);
    EXPECT_LT(boost, audiobus);
    EXPECT_LT(audiobus, link);
    EXPECT_LT(link, minizip);
}

} // namespace
