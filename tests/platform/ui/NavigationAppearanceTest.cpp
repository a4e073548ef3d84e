#include "platform/ui/NavigationController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Platform;

namespace {

// Records its appearance hooks, named, into a log shared by the controllers of a test.
class Logged : public ViewController {
public:
    std::vector<std::string>* log = nullptr;
    std::string name;
    NavigationController* navigationSeen = nullptr;
    Window* windowAtDidAppear = nullptr;

    void viewWillAppear(bool) override
    {
        navigationSeen = navigationController();
        add("willAppear");
    }
    void viewDidAppear(bool) override
    {
        windowAtDidAppear = view()->window();
        add("didAppear");
    }
    void viewWillDisappear(bool) override { add("willDisappear"); }
    void viewDidDisappear(bool) override { add("didDisappear"); }

private:
    void add(char const* hook) { log->push_back(name + " " + hook); }
};

// Hides the bar while it shows, as a screen with its own header does.
class OwnHeader : public Logged {
public:
    void viewWillAppear(bool animated) override
    {
        Logged::viewWillAppear(animated);
        navigationController()->setNavigationBarHidden(true, false);
    }
    void viewWillDisappear(bool animated) override
    {
        Logged::viewWillDisappear(animated);
        navigationController()->setNavigationBarHidden(false, false);
    }
};

class NavigationAppearance : public ::testing::Test {
protected:
    template <class T = Logged>
    std::shared_ptr<T> make(std::string name)
    {
        auto c = newObject<T>();
        c->log = &log;
        c->name = std::move(name);
        return c;
    }
    std::vector<std::string> take() { return std::exchange(log, {}); }

    std::vector<std::string> log;
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 400, 600));
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(NavigationAppearance, TheRootAppearsAndDisappearsWithTheWindowsRoot)
{
    auto root = make("root");
    auto nav = NavigationController::withRootViewController(root);
    window->setRootViewController(nav);
    EXPECT_EQ(take(), (Log{"root willAppear", "root didAppear"}));
    EXPECT_TRUE(root->isVisible());
    EXPECT_EQ(root->navigationSeen, nav.get());
    EXPECT_EQ(root->windowAtDidAppear, window.get());

    window->setRootViewController(nullptr);
    EXPECT_EQ(take(), (Log{"root willDisappear", "root didDisappear"}));
    EXPECT_FALSE(root->isVisible());
}

TEST_F(NavigationAppearance, PushAndPopOnScreenTellBothControllersInThePlatformsOrder)
{
    auto root = make("root");
    auto nav = NavigationController::withRootViewController(root);
    window->setRootViewController(nav);
    take();

    auto second = make("second");
    nav->pushViewController(second, true);
    EXPECT_EQ(take(), (Log{"root willDisappear", "second willAppear", "root didDisappear", "second didAppear"}));
    EXPECT_EQ(second->navigationSeen, nav.get());

    nav->popViewControllerAnimated(true);
    EXPECT_EQ(take(), (Log{"second willDisappear", "root willAppear", "second didDisappear", "root didAppear"}));

    // Back to the root from deep in the stack: the controllers between never show.
    nav->pushViewController(make("a"), false);
    nav->pushViewController(make("b"), false);
    take();
    nav->popToRootViewControllerAnimated(false);
    EXPECT_EQ(take(), (Log{"b willDisappear", "root willAppear", "b didDisappear", "root didAppear"}));
    EXPECT_EQ(nav->viewControllers().size(), 1u);
}

TEST_F(NavigationAppearance, AStackOffScreenTellsOnlyItsTopWhenItAppears)
{
    auto root = make("root");
    auto nav = NavigationController::withRootViewController(root);
    nav->loadViewIfNeeded();
    auto second = make("second");
    nav->pushViewController(second, false);
    nav->popViewControllerAnimated(false);
    auto third = make("third");
    nav->pushViewController(third, false);
    EXPECT_EQ(take(), Log{});
    EXPECT_EQ(third->view()->superview(), nav->view());

    auto presenter = newObject<ViewController>();
    window->setRootViewController(presenter);
    presenter->presentViewController(nav, false);
    EXPECT_EQ(take(), (Log{"third willAppear", "third didAppear"}));
    presenter->dismissViewControllerAnimated(false);
    EXPECT_EQ(take(), (Log{"third willDisappear", "third didDisappear"}));
}

TEST_F(NavigationAppearance, AScreenWithItsOwnHeaderHidesTheBarOnlyWhileItShows)
{
    auto settings = make<OwnHeader>("settings");
    auto nav = NavigationController::withRootViewController(settings);
    window->setRootViewController(nav);
    EXPECT_TRUE(nav->isNavigationBarHidden());
    nav->view()->layoutIfNeeded();
    EXPECT_EQ(settings->view()->frame(), Rect(0, 0, 400, 600));

    auto sub = make("sub");
    nav->pushViewController(sub, true);
    EXPECT_FALSE(nav->isNavigationBarHidden());
    nav->view()->layoutIfNeeded();
    EXPECT_EQ(sub->view()->frame(), Rect(0, 44, 400, 556));

    nav->popViewControllerAnimated(true);
    EXPECT_TRUE(nav->isNavigationBarHidden());
}

// The bar names the controller on top, titled in its view's loading or before; below the root
// it offers a back button that pops, in the bar's contrasting colour.
TEST_F(NavigationAppearance, TheBarShowsTheTopTitleAndABackButtonBelowTheRoot)
{
    auto root = make("root");
    root->setTitle("Settings");
    auto nav = NavigationController::withRootViewController(root);
    window->setRootViewController(nav);
    NavigationBar* bar = nav->navigationBar();
    EXPECT_EQ(bar->titleLabel()->text(), "Settings");
    EXPECT_TRUE(bar->backButton()->isHidden());

    auto sub = make("sub");
    sub->setTitle("Micro Tuning");
    nav->pushViewController(sub, false);
    nav->view()->layoutIfNeeded();
    EXPECT_EQ(bar->titleLabel()->text(), "Micro Tuning");
    ASSERT_FALSE(bar->backButton()->isHidden());
    EXPECT_LE(bar->backButton()->frame().maxX(), bar->titleLabel()->frame().minX());

    bar->setBackgroundColor(Color::withWhite(0.2));
    EXPECT_EQ(bar->titleLabel()->textColor(), Color::whiteColor());
    bar->backButton()->sendActionsForControlEvents(ControlEvents::TouchUpInside);
    EXPECT_EQ(nav->topViewController(), root.get());
    EXPECT_EQ(bar->titleLabel()->text(), "Settings");
    EXPECT_TRUE(bar->backButton()->isHidden());
}
