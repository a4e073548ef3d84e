#include "controls/presentation/Lumora_Alert.h"
#include "controls/presentation/PopoverMessageViewController.h"
#include "platform/graphics/StringDrawing.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;

TEST(ControlsPopoverMessage, AsksForTheTextSizePlusMarginsAndFollowsTheSafeArea)
{
    auto popover = PopoverMessageViewController::withMessage("Link is on");
    ASSERT_NE(popover, nullptr);
    TextAttributes a;
    a.font = Font("Helvetica", 12);
    Size text = StringDrawing::size("Link is on", a);
    EXPECT_EQ(popover->contentSize(), (Size{text.width + 20, text.height + 20}));

    View* root = popover->view();
    ASSERT_NE(popover->label(), nullptr);
    EXPECT_EQ(popover->label()->frame(), Rect({10, 10}, text));
    EXPECT_EQ(popover->label()->text(), "Link is on");
    EXPECT_EQ(popover->label()->textAlignment(), TextAlignment::Center);
    EXPECT_EQ(popover->label()->superview(), root);

    // Each change of the insets moves the label again from where it is.
    root->setSafeAreaInsets(EdgeInsets{0, 13, 0, 0});
    EXPECT_EQ(popover->label()->frame().origin, (Point{23, 10}));
    root->setSafeAreaInsets(EdgeInsets{13, 0, 0, 0});
    EXPECT_EQ(popover->label()->frame().origin, (Point{23, 23}));
    EXPECT_EQ(popover->label()->frame().size, text);

    popover->setContentSize({200, 50});
    EXPECT_EQ(popover->contentSize(), (Size{200, 50}));
}

namespace {

class ControlsAlertHost : public ::testing::Test {
protected:
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 800, 600));
    std::shared_ptr<ViewController> screen = newObject<ViewController>();
    void SetUp() override { window->setRootViewController(screen); }

    AlertController* shown() { return dynamic_cast<AlertController*>(screen->presentedViewController()); }
    std::vector<std::string> titles()
    {
        std::vector<std::string> t;
        for (auto& action : shown()->actions())
            t.push_back(action->title());
        return t;
    }
};

} // namespace

TEST_F(ControlsAlertHost, OkAlertHasOneButtonAndRunsItsBlock)
{
    int oks = 0;
    Lumora_Alert::showAlertWithTitle("Error", "Failed to save.", [&] { ++oks; }, screen.get());
    ASSERT_NE(shown(), nullptr);
    EXPECT_EQ(shown()->preferredStyle(), AlertController::Style::Alert);
    EXPECT_EQ(shown()->title(), "Error");
    EXPECT_EQ(shown()->message(), "Failed to save.");
    EXPECT_EQ(titles(), (std::vector<std::string>{"OK"}));
    EXPECT_EQ(shown()->actions()[0]->style(), AlertAction::Style::Default);
    shown()->chooseAction(0);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST_F(ControlsAlertHost, ConfirmationWithoutBlocksClosesOnEitherButton)
{
    Lumora_Alert::showAlertWithTitle("Delete", "Sure?", nullptr, nullptr, screen.get());
    EXPECT_EQ(titles(), (std::vector<std::string>{"Cancel", "OK"}));
    EXPECT_EQ(shown()->actions()[0]->style(), AlertAction::Style::Cancel);
    EXPECT_TRUE(shown()->chooseActionWithTitle("Cancel"));
    EXPECT_EQ(screen->presentedViewController(), nullptr);

    std::vector<std::string> ran;
    Lumora_Alert::showAlertWithTitle("Delete", "Sure?", [&] { ran.push_back("ok"); }, [&] { ran.push_back("cancel"); },
                                     screen.get());
    shown()->chooseActionWithTitle("OK");
    EXPECT_EQ(ran, (std::vector<std::string>{"ok"}));
}

TEST_F(ControlsAlertHost, TextInputHandsTheEditedTextToBothBlocks)
{
    std::vector<std::string> ran;
    auto record = [&](char const* which) {
        return [&ran, which](std::string const& text) { ran.push_back(std::string(which) + " " + text); };
    };
    Lumora_Alert::showTextInputAlertWithTitle("Rename", "Name:", "Init", record("ok"), record("cancel"), screen.get());
    ASSERT_EQ(shown()->textFields().size(), 1u);
    TextField* field = shown()->textFields()[0].get();
    EXPECT_EQ(field->text(), "Init");
    EXPECT_EQ(field->clearButtonMode(), TextField::ViewMode::WhileEditing);
    EXPECT_EQ(field->keyboardType(), TextField::KeyboardType::AsciiCapable);
    EXPECT_EQ(titles(), (std::vector<std::string>{"Cancel", "OK"}));
    field->typeText("Warm Pad");
    shown()->chooseActionWithTitle("Cancel");

    Lumora_Alert::showTextInputAlertWithTitle("Rename", "Name:", "Init", record("ok"), record("cancel"), screen.get());
    shown()->textFields()[0]->typeText("Bass 2");
    shown()->chooseActionWithTitle("OK");
    EXPECT_EQ(ran, (std::vector<std::string>{"cancel Warm Pad", "ok Bass 2"}));
}

TEST(ControlsAlertWithoutScreen, ShowsNothing)
{
    Lumora_Alert::showAlertWithTitle("t", "m", nullptr, nullptr);
    Lumora_Alert::showTextInputAlertWithTitle("t", "m", "x", nullptr, nullptr, nullptr);
}
