#include "platform/ui/Control.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

using namespace Platform;

namespace {

std::shared_ptr<View> makeView(Rect frame, int tag)
{
    auto v = std::make_shared<View>(frame);
    v->setTag(tag);
    return v;
}

void expectPoint(Point actual, Point expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

} // namespace

TEST(UiViewGeometry, FrameFollowsScaleAndSettingItKeepsTheDisplayedRectangle)
{
    auto v = makeView(Rect(10, 20, 100, 50), 1);
    v->setTransform(AffineTransform::scaling(0.5, 0.5));
    // Scaled about its centre (60, 45).
    EXPECT_EQ(v->frame(), Rect(35, 32.5, 50, 25));
    EXPECT_EQ(v->bounds().size, (Size{100, 50}));

    v->setFrame(Rect(0, 0, 40, 30));
    EXPECT_EQ(v->frame(), Rect(0, 0, 40, 30));
    EXPECT_EQ(v->bounds().size, (Size{80, 60}));
}

TEST(UiViewGeometry, PointsConvertThroughTransformsAndScrolledBounds)
{
    auto root = makeView(Rect(0, 0, 400, 400), 0);
    auto parent = makeView(Rect(100, 100, 200, 200), 1);
    auto child = makeView(Rect(50, 50, 20, 20), 2);
    root->addSubview(parent);
    parent->addSubview(child);
    parent->setTransform(AffineTransform::scaling(2, 2));  // frame (0, 0, 400, 400)

    expectPoint(child->convertPointToView({0, 0}, root.get()), {100, 100});
    expectPoint(root->convertPointToView({100, 100}, child.get()), {0, 0});

    // Scrolling the parent's bounds moves its content the other way.
    Rect b = parent->bounds();
    b.origin = {10, 0};
    parent->setBounds(b);
    expectPoint(child->convertPointToView({0, 0}, root.get()), {80, 100});

    // A quarter turn of the child about its centre.
    parent->setBounds(Rect(0, 0, 200, 200));
    parent->setTransform(AffineTransform::identity());
    child->setTransform(AffineTransform::rotation(std::numbers::pi / 2));
    // The child's top-left corner goes to its top-right after turning clockwise.
    expectPoint(child->convertPointToView({0, 0}, parent.get()), {70, 50});
}

TEST(UiViewGeometry, HitTestFindsTheFrontmostVisibleInteractiveView)
{
    auto root = makeView(Rect(0, 0, 300, 300), 0);
    auto back = makeView(Rect(0, 0, 200, 200), 1);
    auto front = makeView(Rect(100, 100, 100, 100), 2);
    auto inner = makeView(Rect(10, 10, 20, 20), 3);
    root->addSubview(back);
    root->addSubview(front);
    back->addSubview(inner);

    EXPECT_EQ(root->hitTest({150, 150}, nullptr), front.get());
    EXPECT_EQ(root->hitTest({15, 15}, nullptr), inner.get());
    EXPECT_EQ(root->hitTest({250, 250}, nullptr), root.get());
    EXPECT_EQ(root->hitTest({350, 10}, nullptr), nullptr);

    front->setHidden(true);
    EXPECT_EQ(root->hitTest({150, 150}, nullptr), back.get());
    back->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({15, 15}, nullptr), root.get());
    back->setUserInteractionEnabled(true);
    back->setAlpha(0.005);
    EXPECT_EQ(root->hitTest({15, 15}, nullptr), root.get());
}

TEST(UiViewGeometry, HitTestUsesTheTransformedArea)
{
    auto root = makeView(Rect(0, 0, 300, 300), 0);
    auto scaled = makeView(Rect(100, 100, 100, 100), 1);
    root->addSubview(scaled);
    scaled->setTransform(AffineTransform::scaling(0.5, 0.5));  // shows at (125, 125, 50, 50)
    EXPECT_EQ(root->hitTest({110, 110}, nullptr), root.get());
    EXPECT_EQ(root->hitTest({130, 130}, nullptr), scaled.get());

}

TEST(UiViewGeometry, TreeOperationsKeepOwnershipAndOrder)
{
    auto root = makeView(Rect(0, 0, 100, 100), 0);
    std::weak_ptr<View> watch;
    {
        auto a = makeView(Rect(), 1);
        auto b = makeView(Rect(), 2);
        root->addSubview(a);
        root->addSubview(b);
        watch = a;
    }
    ASSERT_EQ(root->subviews().size(), 2u);
    root->bringSubviewToFront(root->subviews()[0].get());
    EXPECT_EQ(root->subviews()[1]->tag(), 1);
    EXPECT_EQ(root->viewWithTag(2), root->subviews()[0].get());
    EXPECT_TRUE(watch.lock()->isDescendantOfView(root.get()));

    // The superview held the last reference: removing releases the view.
    watch.lock()->removeFromSuperview();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(root->subviews().size(), 1u);
}

TEST(UiViewGeometry, TintIsInheritedUntilAViewSetsItsOwn)
{
    auto root = makeView(Rect(), 0);
    auto child = makeView(Rect(), 1);
    root->addSubview(child);
    root->setTintColor(Color::redColor());
    EXPECT_EQ(child->tintColor(), Color::redColor());
    child->setTintColor(Color::greenColor());
    EXPECT_EQ(child->tintColor(), Color::greenColor());
    EXPECT_EQ(root->tintColor(), Color::redColor());
}

namespace {

class LayoutProbe : public View {
public:
    using View::View;
    std::vector<std::string>* log = nullptr;
    void layoutSubviews() override { log->push_back("layout " + std::to_string(tag())); }
    void updateConstraints() override { log->push_back("constraints " + std::to_string(tag())); }
    void willMoveToSuperview(View* s) override { log->push_back(s ? "enter" : "leave"); }
};

class LayoutController : public ViewController {
public:
    std::vector<std::string>* log = nullptr;
    void viewWillLayoutSubviews() override { log->push_back("will"); }
    void viewDidLayoutSubviews() override { log->push_back("did"); }
};

} // namespace

TEST(UiViewLayout, PassRunsConstraintsThenLayoutTopDownWithTheControllerHooks)
{
    std::vector<std::string> log;
    auto controller = newObject<LayoutController>();
    controller->log = &log;
    auto root = std::make_shared<LayoutProbe>(Rect(0, 0, 100, 100));
    root->log = &log;
    root->setTag(1);
    controller->setView(root);
    auto child = std::make_shared<LayoutProbe>(Rect(0, 0, 10, 10));
    child->log = &log;
    child->setTag(2);
    root->addSubview(child);
    root->layoutIfNeeded();
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "constraints 2", "constraints 1", "will", "layout 1", "did", "layout 2"}));

    // Nothing to do until something changes; a new size asks for layout again.
    log.clear();
    root->layoutIfNeeded();
    EXPECT_TRUE(log.empty());
    child->setFrame(Rect(0, 0, 20, 10));
    root->layoutIfNeeded();
    EXPECT_EQ(log, (std::vector<std::string>{"layout 2"}));

    log.clear();
    child->removeFromSuperview();
    EXPECT_EQ(log, (std::vector<std::string>{"leave"}));
}

TEST(UiViewTree, AViewCannotTakeItsOwnAncestor)
{
    auto a = std::make_shared<View>();
    auto b = std::make_shared<View>();
    a->addSubview(b);
    b->addSubview(a);
    a->addSubview(a);
    EXPECT_EQ(a->superview(), nullptr);
    EXPECT_TRUE(b->subviews().empty());
    EXPECT_EQ(a->subviews().size(), 1u);
}
