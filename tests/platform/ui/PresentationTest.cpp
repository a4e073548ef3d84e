#include "platform/ui/AlertController.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PopoverPresentationController.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace Platform;

namespace {

class LoggingController : public ViewController {
public:
    std::vector<std::string> log;
    void viewDidLoad() override { log.push_back("load"); }
    void viewWillAppear(bool) override { log.push_back("willAppear"); }
    void viewDidAppear(bool) override { log.push_back("didAppear"); }
    void viewWillDisappear(bool) override { log.push_back("willDisappear"); }
    void viewDidDisappear(bool) override { log.push_back("didDisappear"); }
};

class KeepsPopover : public ViewController, public PopoverPresentationControllerDelegate {
public:
    int dismissed = 0;
    ModalPresentationStyle adaptivePresentationStyleForPresentationController(PopoverPresentationController*) override
    {
        return ModalPresentationStyle::None;
    }
    void popoverPresentationControllerDidDismissPopover(PopoverPresentationController*) override { ++dismissed; }
};

// Runs a test body with the device idiom forced.
class Idiom {
public:
    explicit Idiom(char const* idiom) { setenv("CORVANE_UI_IDIOM", idiom, 1); }
    ~Idiom() { unsetenv("CORVANE_UI_IDIOM"); }
};

class UiPresentation : public ::testing::Test {
protected:
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 1024, 768));
    std::shared_ptr<KeepsPopover> root = newObject<KeepsPopover>();

    void SetUp() override { window->setRootViewController(root); }
};

} // namespace

TEST_F(UiPresentation, ModalPresentationAndDismissalKeepTheBooksAndCallTheHooks)
{
    auto sheet = newObject<LoggingController>();
    sheet->setModalPresentationStyle(ModalPresentationStyle::OverCurrentContext);
    sheet->setModalTransitionStyle(ModalTransitionStyle::CrossDissolve);
    bool completed = false;
    root->presentViewController(sheet, true, [&] { completed = true; });
    EXPECT_TRUE(completed);
    EXPECT_EQ(root->presentedViewController(), sheet.get());
    EXPECT_EQ(sheet->presentingViewController(), root.get());
    EXPECT_EQ(sheet->presentationStyleInEffect(), ModalPresentationStyle::OverCurrentContext);
    EXPECT_EQ(sheet->view()->superview(), window.get());
    EXPECT_EQ(sheet->view()->frame(), window->bounds());
    EXPECT_EQ(sheet->log, (std::vector<std::string>{"load", "willAppear", "didAppear"}));

    // Touches now land on the presented screen.
    EXPECT_TRUE(window->hitTest({500, 400}, nullptr)->isDescendantOfView(sheet->view()));

    // A second presentation stacks on top of the first.
    auto second = newObject<LoggingController>();
    root->presentViewController(second, false);
    EXPECT_EQ(sheet->presentedViewController(), second.get());

    // Dismissing from the presenter takes both away, the top first.
    root->dismissViewControllerAnimated(true);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(sheet->presentingViewController(), nullptr);
    EXPECT_EQ(sheet->view()->superview(), nullptr);
    EXPECT_EQ(second->log.back(), "didDisappear");
    EXPECT_EQ(sheet->log.back(), "didDisappear");
}

TEST_F(UiPresentation, PopoverIsAnchoredAtItsSourceAndStaysAPopoverOnAPhoneWhenTheDelegateSaysSo)
{
    Idiom phone("phone");
    auto source = std::make_shared<View>(Rect(100, 100, 40, 20));
    root->view()->addSubview(source);

    auto content = newObject<LoggingController>();
    content->setModalPresentationStyle(ModalPresentationStyle::Popover);
    content->setPreferredContentSize({200, 150});
    PopoverPresentationController* popover = content->popoverPresentationController();
    ASSERT_NE(popover, nullptr);
    popover->setDelegate(root.get());
    popover->setSourceView(source.get());
    popover->setSourceRect(source->bounds());
    popover->setPermittedArrowDirections(PopoverArrowDirection::Up);
    popover->setBackgroundColor(Color::grayColor());
    root->presentViewController(content, true);
    EXPECT_EQ(content->presentationStyleInEffect(), ModalPresentationStyle::Popover);
    // Below the source, centred on it.
    EXPECT_EQ(content->view()->frame(), Rect(20, 120, 200, 150));
    EXPECT_EQ(content->view()->backgroundColor(), Color::grayColor());

    // A tap outside closes it and tells the delegate; the tap goes nowhere else.
    window->tap({900, 700}, 0.0);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(root->dismissed, 1);
}

TEST_F(UiPresentation, PopoverWithoutADelegateBecomesFullScreenOnAPhoneOnly)
{
    auto content = newObject<ViewController>();
    content->setModalPresentationStyle(ModalPresentationStyle::Popover);
    {
        Idiom phone("phone");
        root->presentViewController(content, false);
        EXPECT_EQ(content->presentationStyleInEffect(), ModalPresentationStyle::FullScreen);
        root->dismissViewControllerAnimated(false);
    }
    Idiom pad("pad");
    root->presentViewController(content, false);
    EXPECT_EQ(content->presentationStyleInEffect(), ModalPresentationStyle::Popover);
    // A tap inside a passthrough view leaves the popover up.
    auto pass = std::make_shared<View>(Rect(900, 600, 50, 50));
    root->view()->addSubview(pass);
    content->popoverPresentationController()->setPassthroughViews({pass.get()});
    window->tap({920, 620}, 0.0);
    EXPECT_EQ(root->presentedViewController(), content.get());
}

TEST_F(UiPresentation, ChoosingAnAlertActionDismissesAndThenRunsItsHandler)
{
    auto alert = AlertController::alertControllerWithTitle("Rename", "New name:", AlertController::Style::Alert);
    std::vector<std::string> ran;
    alert->addAction(AlertAction::actionWithTitle("Cancel", AlertAction::Style::Cancel, [&](AlertAction*) {
        ran.push_back("cancel " + alert->textFields().at(0)->text());
    }));
    alert->addAction(AlertAction::actionWithTitle("OK", AlertAction::Style::Default, [&](AlertAction*) {
        EXPECT_EQ(root->presentedViewController(), nullptr);
        ran.push_back("ok " + alert->textFields().at(0)->text());
    }));
    alert->addTextFieldWithConfigurationHandler([](TextField* field) { field->setText("Pad"); });
    root->presentViewController(alert, true);
    EXPECT_EQ(root->presentedViewController(), alert.get());

    alert->textFields()[0]->typeText("Bright Pad");
    EXPECT_TRUE(alert->chooseActionWithTitle("OK"));
    EXPECT_EQ(ran, (std::vector<std::string>{"ok Bright Pad"}));

    // An action sheet takes no text fields; a disabled action cannot be chosen.
    auto sheet = AlertController::alertControllerWithTitle("", "", AlertController::Style::ActionSheet);
    sheet->addTextFieldWithConfigurationHandler(nullptr);
    EXPECT_TRUE(sheet->textFields().empty());
    auto off = AlertAction::actionWithTitle("Off", AlertAction::Style::Default, nullptr);
    off->setEnabled(false);
    sheet->addAction(off);
    EXPECT_FALSE(sheet->chooseAction(0));
    EXPECT_FALSE(sheet->chooseAction(5));
}

TEST_F(UiPresentation, AlertButtonsAnswerTaps)
{
    auto alert = AlertController::alertControllerWithTitle("Title", "Message", AlertController::Style::Alert);
    int oks = 0;
    alert->addAction(AlertAction::actionWithTitle("OK", AlertAction::Style::Default, [&](AlertAction*) { ++oks; }));
    root->presentViewController(alert, false);
    View* button = nullptr;
    std::vector<View*> pending{alert->view()};
    while (!pending.empty() && !button) {
        View* v = pending.back();
        pending.pop_back();
        if (dynamic_cast<Control*>(v))
            button = v;
        for (auto& s : v->subviews())
            pending.push_back(s.get());
    }
    ASSERT_NE(button, nullptr);
    Rect f = button->convertRectToView(button->bounds(), nullptr);
    window->tap({f.midX(), f.midY()}, 0.0);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST(UiNavigation, PushAndPopShowTheTopControllerBelowTheBar)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 400, 600));
    auto first = newObject<LoggingController>();
    auto nav = NavigationController::withRootViewController(first);
    window->setRootViewController(nav);
    EXPECT_EQ(first->navigationController(), nav.get());
    EXPECT_EQ(first->view()->frame(), Rect(0, 44, 400, 556));

    auto second = newObject<LoggingController>();
    nav->pushViewController(second, true);
    EXPECT_EQ(nav->topViewController(), second.get());
    EXPECT_EQ(first->view()->superview(), nullptr);
    EXPECT_EQ(second->view()->superview(), nav->view());
    EXPECT_EQ(first->log.back(), "didDisappear");

    nav->setNavigationBarHidden(true, false);
    nav->view()->layoutIfNeeded();
    EXPECT_EQ(second->view()->frame(), Rect(0, 0, 400, 600));

    auto popped = nav->popViewControllerAnimated(true);
    EXPECT_EQ(popped, second);
    EXPECT_EQ(nav->topViewController(), first.get());
    EXPECT_EQ(nav->popViewControllerAnimated(true), nullptr);  // the root stays
}
