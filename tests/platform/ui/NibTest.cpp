#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Nib.h"
#include "platform/ui/ViewController.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;

namespace {

std::vector<std::string> awakeOrder;

class AwakeLabel : public Label {
public:
    using Label::Label;
    void awakeFromNib() override { awakeOrder.push_back("label " + text()); }
};

class AwakeView : public View {
public:
    using View::View;
    void awakeFromNib() override { awakeOrder.push_back("view " + std::to_string(tag())); }
};

// A screen whose interface file gives it a root view, a label outlet and a button action.
class PanelController : public ViewController {
public:
    Label* titleLabel = nullptr;
    int taps = 0;
    bool loaded = false;
    void buttonPressed(Control*) { ++taps; }
    void viewDidLoad() override { loaded = titleLabel != nullptr; }
};

std::vector<std::shared_ptr<Object>> buildPanel(Nib::Context const& context)
{
    auto root = std::make_shared<AwakeView>(Rect(0, 0, 320, 200));
    root->setTag(1);
    auto label = std::make_shared<AwakeLabel>(Rect(10, 10, 300, 30));
    label->setText("Title");
    label->setTag(2);
    auto button = std::make_shared<Button>(Rect(10, 50, 100, 44));
    button->setTag(3);
    button->setTitle("Go", ControlState::Normal);
    root->addSubview(label);
    root->addSubview(button);
    if (auto* owner = context.ownerAs<PanelController>()) {
        owner->setView(root);
        owner->titleLabel = label.get();
        button->addTarget(owner, &PanelController::buttonPressed, ControlEvents::TouchUpInside);
    }
    return {root};
}

class UiNibRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        awakeOrder.clear();
        Nib::registerNib("TestPanel", buildPanel);
    }
    void TearDown() override { Nib::unregisterNib("TestPanel"); }
};

} // namespace

TEST_F(UiNibRegistry, ControllerLoadsItsFileWithOutletsAndActionsConnected)
{
    auto controller = newObject<PanelController>();
    ASSERT_TRUE(controller->initWithNibName("TestPanel", nullptr));
    EXPECT_FALSE(controller->isViewLoaded());
    View* root = controller->view();
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(controller->loaded);  // outlets were connected before viewDidLoad
    EXPECT_EQ(root->tag(), 1);
    EXPECT_EQ(root->frame(), Rect(0, 0, 320, 200));
    EXPECT_EQ(controller->titleLabel->text(), "Title");
    EXPECT_EQ(root->nextResponder(), controller.get());

    auto* button = dynamic_cast<Button*>(root->viewWithTag(3));
    ASSERT_NE(button, nullptr);
    button->sendActionsForControlEvents(ControlEvents::TouchUpInside);
    EXPECT_EQ(controller->taps, 1);

    // Subviews wake before the view that holds them, once everything is connected.
    EXPECT_EQ(awakeOrder, (std::vector<std::string>{"label Title", "view 1"}));
}

TEST_F(UiNibRegistry, InstantiatingWithoutOwnerAnswersTheTopLevelViews)
{
    auto nib = Nib::nibWithNibName("TestPanel");
    ASSERT_NE(nib, nullptr);
    auto objects = nib->instantiateWithOwner(nullptr);
    ASSERT_EQ(objects.size(), 1u);
    auto view = std::dynamic_pointer_cast<View>(objects[0]);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->subviews().size(), 2u);
    // Every instantiation makes new views.
    auto again = Nib::loadNibNamed("TestPanel", nullptr);
    EXPECT_NE(again.at(0), objects[0]);
}

TEST_F(UiNibRegistry, UnknownNamesGiveNothingAndAPlainView)
{
    EXPECT_EQ(Nib::nibWithNibName("NoSuchFile"), nullptr);
    EXPECT_TRUE(Nib::loadNibNamed("NoSuchFile", nullptr).empty());
    auto controller = newObject<ViewController>();
    controller->initWithNibName("NoSuchFile", nullptr);
    ASSERT_NE(controller->view(), nullptr);
    EXPECT_TRUE(controller->view()->subviews().empty());
}
