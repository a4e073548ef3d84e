#include "linkkit/ABLLink.h"
#include "linkkit/ABLLinkKeys.h"
#include "linkkit/ABLLinkObject.h"
#include "common/TestIsolation.h"
#include "linkkit/views/ABLActivityIndicatorView.h"
#include "linkkit/views/ABLLinkSettingsViewController.h"
#include "linkkit/views/ABLLinkTexts.h"
#include "linkkit/views/ABLNotificationView.h"
#include "linkkit/views/ABLNotificationWindow.h"
#include "linkkit/views/ABLSettingsViewController.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/StringDrawing.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::string picturePath(char const* name)
{
    char const* dir = std::getenv("CORVANE_SCREENS_PNG_DIR");
    std::filesystem::path folder = dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    return (folder / name).string();
}

void flip(Platform::Switch* control, bool on)
{
    control->setOn(on);
    control->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
}

// A link of a fresh data home whose sessions stay inside this process's own network; the kit's
// banner sees a key window of the test and an active application.
class LinkSettingsView : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestIsolation::useTestDataHome();
        if (!TestIsolation::enterPrivateLoopbackNetwork())
            GTEST_SKIP() << "no private network namespace here; Link sessions are only run inside one";
        defaults = Platform::UserDefaults::standard();
        for (auto key : {kABLLinkEnabledKey, kABLStartStopSyncEnabledKey, kABLNotificationEnabledKey})
            defaults->removeObjectForKey(key);
        keyWindow->setRootViewController(std::make_shared<Platform::ViewController>());
        ABLNotificationView::setKeyWindowSource([this] { return keyWindow; });
        ABLNotificationView::setApplicationActiveSource([this] { return active; });
        peersObservation = Platform::NotificationCenter::defaultCenter().addObserver(
            kABLLinkNumberOfPeersChangedNotification, nullptr, [this](Platform::Notification const& n) {
                posted.push_back(static_cast<unsigned long>(n.userInfo.at(kABLLinkNumberOfPeersKey).integerValue()));
            });
        link = ABLLinkNew(120.0);
        ABLLinkSetIsEnabledCallback(link, [](bool on, void* context) { static_cast<LinkSettingsView*>(context)->enabledCalls.push_back(on); }, this);
        view = std::dynamic_pointer_cast<ABLSettingsViewController>(ABLLinkSettingsViewController::instance(link));
        ASSERT_TRUE(view);
        view->loadViewIfNeeded();
        view->tableView()->reloadData();
    }

    void TearDown() override
    {
        ABLNotificationView::dismissNotificationIfNeeded();
        ABLNotificationView::setKeyWindowSource({});
        ABLNotificationView::setApplicationActiveSource({});
        Platform::NotificationCenter::defaultCenter().removeObserver(peersObservation);
        if (link)
            ABLLinkDelete(link);
        Platform::RunLoop::main().runOnce();
    }

    std::vector<std::string> sectionRows()
    {
        std::vector<std::string> rows;
        auto* table = view->tableView();
        for (int s = 0; s < table->numberOfSections(); ++s)
            for (int r = 0; r < table->numberOfRowsInSection(s); ++r)
                rows.push_back(std::to_string(s) + ":" + table->cellForRowAtIndexPath({s, r})->textLabel()->text());
        return rows;
    }

    std::shared_ptr<Platform::UserDefaults> defaults;
    std::shared_ptr<Platform::Window> keyWindow = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 480, 320));
    bool active = true;
    std::vector<bool> enabledCalls;
    std::vector<unsigned long> posted;
    Platform::NotificationCenter::ObserverToken peersObservation = 0;
    ABLLink* link = nullptr;
    std::shared_ptr<ABLSettingsViewController> view;
};

TEST(LinkSettingsViewInstance, NoLinkNoView)
{
    EXPECT_EQ(ABLLinkSettingsViewController::instance(nullptr), nullptr);
    EXPECT_EQ(Platform::newObject<ABLSettingsViewController>(), nullptr);
    EXPECT_EQ(ABLSettingsViewController::create(nullptr), nullptr);
}

TEST_F(LinkSettingsView, FirstStartWritesTheDefaultsAndShowsOnlyTheSwitchWithTheDescription)
{
    EXPECT_EQ(defaults->objectForKey(kABLLinkEnabledKey), Platform::Value(false));
    EXPECT_EQ(defaults->objectForKey(kABLNotificationEnabledKey), Platform::Value(true));
    EXPECT_EQ(defaults->objectForKey(kABLStartStopSyncEnabledKey), Platform::Value(false));
    EXPECT_EQ(view->title(), "Ableton Link");
    EXPECT_EQ(sectionRows(), (std::vector<std::string>{"0:Ableton Link"}));
    EXPECT_FALSE(view->enableSwitch()->isOn());
    EXPECT_EQ(view->titleForFooterInSection(0).substr(0, 21), "Link allows you to pl");
    ASSERT_NE(view->viewForFooterInSection(0), nullptr);
    EXPECT_NE(view->enableFooter()->text().find("Learn more at https://"), std::string::npos);
    EXPECT_GT(view->heightForFooterInSection(0), 0);
}

TEST_F(LinkSettingsView, TheSwitchTurnsLinkOnAndOffWithItsSections)
{
    flip(view->enableSwitch(), true);
    EXPECT_TRUE(defaults->boolForKey(kABLLinkEnabledKey));
    EXPECT_TRUE(ABLLinkUserEnabled(link));
    EXPECT_TRUE(link->isAppliedEnabled());
    EXPECT_EQ(enabledCalls, (std::vector<bool>{true}));
    // Without "ABLLinkStartStopSyncSupported" in the information list there is no start/stop row.
    EXPECT_EQ(sectionRows(), (std::vector<std::string>{"0:Ableton Link", "1:In-app notifications", "2:No peers connected"}));
    EXPECT_EQ(view->titleForHeaderInSection(2), "CONNECTED PEERS");
    EXPECT_TRUE(view->enableFooter()->isHidden());
    EXPECT_EQ(view->heightForFooterInSection(2), ABLSettingsViewController::peersFooterHeight);

    link->handlePeerCount(2);
    EXPECT_EQ(view->numberOfPeers(), 2u);
    flip(view->enableSwitch(), false);
    EXPECT_FALSE(defaults->boolForKey(kABLLinkEnabledKey));
    EXPECT_FALSE(link->isAppliedEnabled());
    EXPECT_EQ(view->numberOfPeers(), 0u);
    EXPECT_EQ(enabledCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(sectionRows(), (std::vector<std::string>{"0:Ableton Link"}));

    // The same state again changes nothing in the link.
    flip(view->enableSwitch(), false);
    EXPECT_EQ(enabledCalls.size(), 2u);
}

// What the table itself lays out: the description under the switch while Link is off; the peers
// header and the browsing footer with its spinning indicator while it is on. Rows never highlight.
TEST_F(LinkSettingsView, TheTableShowsTheDescriptionOrThePeersHeaderAndTheBrowsingFooter)
{
    auto* table = view->tableView();
    table->setFrame(Platform::Rect(0, 0, 400, 600));
    table->reloadData();
    ASSERT_EQ(table->footerViewForSection(0), view->enableFooter());
    EXPECT_EQ(table->headerLabelForSection(0), nullptr);
    EXPECT_DOUBLE_EQ(table->footerViewForSection(0)->frame().minY(), table->cellForRowAtIndexPath({0, 0})->frame().maxY());
    EXPECT_EQ(table->footerViewForSection(0)->frame().width(), 400);
    // The description's height follows the table's width: narrower, it wraps onto more lines.
    double const wideHeight = table->footerViewForSection(0)->frame().height();
    table->setFrame(Platform::Rect(0, 0, 200, 600));
    table->layoutIfNeeded();
    EXPECT_GT(table->footerViewForSection(0)->frame().height(), wideHeight);
    table->setFrame(Platform::Rect(0, 0, 400, 600));
    table->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(table->footerViewForSection(0)->frame().height(), wideHeight);

    flip(view->enableSwitch(), true);
    EXPECT_EQ(table->footerViewForSection(0), nullptr);
    ASSERT_NE(table->headerLabelForSection(2), nullptr);
    EXPECT_EQ(table->headerLabelForSection(2)->text(), "CONNECTED PEERS");
    Platform::TableViewCell* status = table->cellForRowAtIndexPath({2, 0});
    EXPECT_LT(table->headerLabelForSection(2)->frame().maxY(), status->frame().minY());
    EXPECT_GT(table->headerLabelForSection(2)->frame().minY(), table->cellForRowAtIndexPath({1, 0})->frame().maxY());

    Platform::View* footer = table->footerViewForSection(2);
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->frame(), Platform::Rect(0, status->frame().maxY(), 400, ABLSettingsViewController::peersFooterHeight));
    footer->layoutIfNeeded();
    Platform::Label* label = nullptr;
    ABLActivityIndicatorView* indicator = nullptr;
    for (auto const& part : footer->subviews()) {
        if (auto* l = dynamic_cast<Platform::Label*>(part.get()))
            label = l;
        if (auto* i = dynamic_cast<ABLActivityIndicatorView*>(part.get()))
            indicator = i;
    }
    ASSERT_NE(label, nullptr);
    ASSERT_NE(indicator, nullptr);
    EXPECT_EQ(label->text(), "Browsing for Link-enabled peers...");
    EXPECT_TRUE(indicator->isAnimating());
    EXPECT_GT(indicator->center().x, label->frame().maxX());
    EXPECT_LT(indicator->center().x + ABLActivityIndicatorView::side, 400);
    EXPECT_DOUBLE_EQ(indicator->center().y, label->frame().midY());

    table->tapRowByUser({2, 0});
    EXPECT_FALSE(status->isSelected());
    EXPECT_FALSE(table->indexPathForSelectedRow().has_value());
}

// Everything up to "Learn more at " is grey; only the address after it shows in the link colour.
TEST_F(LinkSettingsView, TheDescriptionShowsTheAddressInTheLinkColour)
{
    Platform::TextView* footer = view->enableFooter();
    footer->setFrame(Platform::Rect(0, 0, 360, footer->sizeThatFits(Platform::Size{360, 1e6}).height));
    Platform::Image picture = Platform::renderViewToImage(*footer);
    double const lineHeight = footer->font().lineHeight();
    Platform::EdgeInsets const inset = footer->textContainerInset();
    auto const lines = Platform::StringDrawing::lines(footer->text(), 360 - inset.left - inset.right, footer->font());
    double const lastLineTop = inset.top + static_cast<double>(lines.size() - 1) * lineHeight - 1;
    double const addressLeft = inset.left +
                               Platform::StringDrawing::advance("Learn more at ", footer->font()) - 1;
    int linkPixels = 0;
    int misplaced = 0;
    for (int y = 0; y < picture.pixelHeight(); ++y)
        for (int x = 0; x < picture.pixelWidth(); ++x) {
            Platform::Color const c = picture.pixel(x, y);
            if (c.alpha() < 0.5 || c.blue() < c.red() + 0.3)
                continue;
            ++linkPixels;
            if (y < lastLineTop || x < addressLeft)
                ++misplaced;
        }
    EXPECT_GT(linkPixels, 20);
    EXPECT_EQ(misplaced, 0);
}

TEST_F(LinkSettingsView, TheToolbarShowsWhileTheViewDoesAndIsThenLeftAsItWas)
{
    auto navigation = Platform::NavigationController::withRootViewController(Platform::newObject<Platform::ViewController>());
    Platform::Window window(Platform::Rect(0, 0, 400, 300));
    window.setRootViewController(navigation);
    ASSERT_TRUE(navigation->isToolbarHidden());

    navigation->pushViewController(view, false);
    EXPECT_FALSE(navigation->isToolbarHidden());
    navigation->view()->layoutIfNeeded();
    EXPECT_EQ(view->view()->frame().maxY(), 300 - Platform::NavigationController::toolbarHeight);
    EXPECT_EQ(navigation->toolbar()->frame(), Platform::Rect(0, 300 - Platform::NavigationController::toolbarHeight, 400,
                                                             Platform::NavigationController::toolbarHeight));
    navigation->popViewControllerAnimated(false);
    EXPECT_TRUE(navigation->isToolbarHidden());

    // A stack that showed its toolbar already keeps it.
    navigation->setToolbarHidden(false, false);
    navigation->pushViewController(view, false);
    navigation->popViewControllerAnimated(false);
    EXPECT_FALSE(navigation->isToolbarHidden());
}

TEST_F(LinkSettingsView, NotificationAndStartStopSwitchesAreStored)
{
    flip(view->enableSwitch(), true);
    flip(view->notificationsSwitch(), false);
    EXPECT_FALSE(defaults->boolForKey(kABLNotificationEnabledKey));
    bool startStop = false;
    link->callbacks().startStopSyncEnabled = [&](bool on) { startStop = on; };
    flip(view->startStopSyncSwitch(), true);
    EXPECT_TRUE(defaults->boolForKey(kABLStartStopSyncEnabledKey));
    EXPECT_TRUE(link->isStartStopSyncEnabled());
    EXPECT_TRUE(startStop);
}

TEST_F(LinkSettingsView, PeerCountsShowInTheStatusCellTheBannerAndTheNotification)
{
    flip(view->enableSwitch(), true);
    struct Case { unsigned long peers; char const* status; char const* banner; };
    for (Case const& c : {Case{1, "Connected to 1 peer", "1 Link"}, Case{3, "Connected to 3 peers", "3 Links"},
                          Case{0, "No peers connected", "No Links"}}) {
        link->handlePeerCount(c.peers);
        EXPECT_EQ(view->statusCell()->textLabel()->text(), c.status);
        ASSERT_NE(ABLNotificationView::currentNotification(), nullptr);
        EXPECT_EQ(ABLNotificationView::currentNotification()->messageLabel()->text(), c.banner);
    }
    EXPECT_EQ(posted, (std::vector<unsigned long>{1, 3, 0}));
}

TEST_F(LinkSettingsView, OneBannerStaysUpTwoSecondsAfterTheLastChange)
{
    flip(view->enableSwitch(), true);
    link->handlePeerCount(1);
    ABLNotificationView* banner = ABLNotificationView::currentNotification();
    ASSERT_NE(banner, nullptr);
    ABLNotificationWindow* window = ABLNotificationView::bannerWindow();
    EXPECT_FALSE(window->isHidden());
    EXPECT_EQ(window->frame(), keyWindow->frame());
    EXPECT_GT(window->windowLevel(), ABLNotificationWindow::statusBarWindowLevel);
    EXPECT_EQ(window->forwardedRootVC(), keyWindow->rootViewController());
    EXPECT_EQ(banner->frame(), Platform::Rect(0, 0, 480, ABLNotificationView::baseHeight));
    Platform::Timer* first = ABLNotificationView::durationTimer();

    link->handlePeerCount(2);
    EXPECT_EQ(ABLNotificationView::currentNotification(), banner);
    EXPECT_EQ(banner->messageLabel()->text(), "2 Links");
    EXPECT_NE(ABLNotificationView::durationTimer(), first);
    EXPECT_EQ(ABLNotificationView::durationTimer()->timeInterval(), ABLNotificationView::durationSeconds);

    Platform::Image picture = Platform::renderViewToImage(*window);
    EXPECT_TRUE(picture.writePNG(picturePath("corvane-link-banner.png")));

    Platform::RunLoop::main().runFor(2100ms);
    EXPECT_EQ(ABLNotificationView::currentNotification(), nullptr);
    EXPECT_TRUE(window->isHidden());
    for (auto const& v : window->subviews())
        EXPECT_EQ(dynamic_cast<ABLNotificationView*>(v.get()), nullptr);
}

TEST_F(LinkSettingsView, NoBannerWhenSwitchedOffOrInTheBackgroundButTheViewStillUpdates)
{
    flip(view->enableSwitch(), true);
    active = false;
    link->handlePeerCount(1);
    EXPECT_EQ(ABLNotificationView::currentNotification(), nullptr);
    EXPECT_EQ(view->statusCell()->textLabel()->text(), "Connected to 1 peer");

    active = true;
    flip(view->notificationsSwitch(), false);
    link->handlePeerCount(2);
    EXPECT_EQ(ABLNotificationView::currentNotification(), nullptr);
    EXPECT_EQ(view->statusCell()->textLabel()->text(), "Connected to 2 peers");

    // Without a key window nothing is shown either.
    flip(view->notificationsSwitch(), true);
    ABLNotificationView::setKeyWindowSource({});
    link->handlePeerCount(3);
    EXPECT_EQ(ABLNotificationView::currentNotification(), nullptr);
}

TEST_F(LinkSettingsView, ADetachedViewShowsLinkOffAndChangesNothing)
{
    view->deinit();
    EXPECT_FALSE(view->isEnabled());
    flip(view->enableSwitch(), true);
    EXPECT_FALSE(ABLLinkUserEnabled(link));
    EXPECT_TRUE(enabledCalls.empty());
}

TEST_F(LinkSettingsView, RendersToPicture)
{
    {
        auto navigation = Platform::NavigationController::withRootViewController(view);
        Platform::Window window(Platform::Rect(0, 0, 400, 300));
        window.setRootViewController(navigation);
        EXPECT_TRUE(window.renderToImage().writePNG(picturePath("corvane-link-settings-off.png")));
    }
    flip(view->enableSwitch(), true);
    link->handlePeerCount(3);
    auto navigation = Platform::NavigationController::withRootViewController(view);
    Platform::Window window(Platform::Rect(0, 0, 400, 300));
    window.setRootViewController(navigation);
    Platform::Image picture = window.renderToImage();
    EXPECT_TRUE(picture.writePNG(picturePath("corvane-link-settings.png")));
}

TEST(LinkBanner, AMessageWiderThanTheBannerShrinksToFit)
{
    auto banner = std::make_shared<ABLNotificationView>(Platform::Rect(0, 0, 120, ABLNotificationView::baseHeight));
    Platform::Label* label = banner->messageLabel();
    label->setText("3 Links");
    banner->layoutIfNeeded();
    EXPECT_EQ(label->font().pointSize(), ABLNotificationView::messageFontSize);

    label->setText("Verbunden mit sehr vielen Links");
    banner->setNeedsLayout();
    banner->layoutIfNeeded();
    EXPECT_LT(label->font().pointSize(), ABLNotificationView::messageFontSize);
    EXPECT_LE(Platform::StringDrawing::advance(label->text(), label->font()), label->frame().width());
}

TEST(LinkTexts, CountsAreFilledInWithoutFormattingTranslatedText)
{
    EXPECT_EQ(ABLLinkTexts::withCount("%u Links", 3), "3 Links");
    EXPECT_EQ(ABLLinkTexts::withCount("Connected to %zu peers", 12), "Connected to 12 peers");
    EXPECT_EQ(ABLLinkTexts::withCount("%s %n Links", 3), "%s %n Links");
}

} // namespace
