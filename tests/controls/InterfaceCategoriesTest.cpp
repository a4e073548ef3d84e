#include "controls/base/Lumora_Control.h"
#include "controls/categories/UIButton_Lumora.h"
#include "controls/categories/UIColor_Lumora.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/categories/UIViewController_Lumora.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Platform;
using Category = UIView_Lumora_Control_Container_View;

namespace {

class Marker : public View {
public:
    using View::View;
};

class SpecialMarker : public Marker {
public:
    using Marker::Marker;
};

std::shared_ptr<View> tagged(std::shared_ptr<View> v, int tag)
{
    v->setTag(tag);
    return v;
}

} // namespace

TEST(InterfaceCategories, PaletteWidensItsSinglePrecisionComponents)
{
    struct Row {
        Color color;
        float r, g, b;
    };
    std::vector<Row> rows{
        {UIColor_Lumora::lumoraRedColor(), 1.0f, 0.22f, 0.22f},
        {UIColor_Lumora::lumoraBlueColor(), 0.0f, 0.55f, 1.0f},
        {UIColor_Lumora::lumoraDarkGrayColor(), 0.56f, 0.56f, 0.58f},
        {UIColor_Lumora::lumoraUltraLightGrayColor(), 0.95f, 0.95f, 0.95f},
        {UIColor_Lumora::lumoraDarkBrownColor(), 0.80f, 0.60f, 0.35f},
    };
    for (auto const& row : rows) {
        EXPECT_EQ(row.color.red(), static_cast<double>(row.r));
        EXPECT_EQ(row.color.green(), static_cast<double>(row.g));
        EXPECT_EQ(row.color.blue(), static_cast<double>(row.b));
        EXPECT_EQ(row.color.alpha(), 1.0);
    }
    EXPECT_NE(UIColor_Lumora::lumoraRedColor().green(), 0.22);  // the float, not the double
}

TEST(InterfaceCategories, FindDescendantTestsEachSubviewBeforeItsSubtree)
{
    auto root = std::make_shared<View>();
    auto branch = tagged(std::make_shared<View>(), 1);
    auto deep = tagged(std::make_shared<Marker>(), 2);
    auto shallow = tagged(std::make_shared<Marker>(), 3);
    root->addSubview(branch);
    branch->addSubview(deep);
    root->addSubview(shallow);

    EXPECT_EQ(Category::findDescendantWithClass<Marker>(root.get())->tag(), 2);  // depth first
    EXPECT_EQ(Category::findDescendantWithClass<Marker>(shallow.get()), shallow.get());  // the receiver itself
    EXPECT_EQ(Category::findDescendantWithClass<SpecialMarker>(root.get()), nullptr);
    EXPECT_EQ(Category::findDescendantWithClass<Lumora_Control>(nullptr), nullptr);
}

TEST(InterfaceCategories, TraverseSkipsMatchesNestedInsideMatches)
{
    auto root = tagged(std::make_shared<Marker>(), 1);
    auto direct = tagged(std::make_shared<Marker>(), 2);
    auto nested = tagged(std::make_shared<Marker>(), 3);
    auto plain = tagged(std::make_shared<View>(), 4);
    auto belowPlain = tagged(std::make_shared<SpecialMarker>(), 5);
    root->addSubview(direct);
    direct->addSubview(nested);
    root->addSubview(plain);
    plain->addSubview(belowPlain);

    std::vector<int> seen;
    Category::traverseDescendantWithClass<Marker>(root.get(), [&](Marker* m) { seen.push_back(m->tag()); });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 5}));
}

TEST(InterfaceCategories, TintReachesEveryDescendantAndControllersAreFoundUpTheChain)
{
    auto controller = newObject<ViewController>();
    auto root = controller->sharedView();
    auto middle = std::make_shared<View>();
    auto leaf = std::make_shared<Label>();
    root->addSubview(middle);
    middle->addSubview(leaf);
    leaf->setTintColor(Color::redColor());  // even views with their own tint take the new one

    Category::setTintColorToDecendants(root.get(), UIColor_Lumora::lumoraBlueColor());
    EXPECT_EQ(leaf->tintColor(), UIColor_Lumora::lumoraBlueColor());
    EXPECT_EQ(middle->tintColor(), UIColor_Lumora::lumoraBlueColor());

    EXPECT_EQ(Category::firstAvailableUIViewController(leaf.get()), controller.get());
    EXPECT_EQ(Category::traverseResponderChainForUIViewController(root.get()), controller.get());
    auto loose = std::make_shared<View>();
    EXPECT_EQ(Category::firstAvailableUIViewController(loose.get()), nullptr);
}

TEST(InterfaceCategories, ButtonHelpersSetAllFourStates)
{
    auto button = std::make_shared<Button>(Rect(0, 0, 80, 30));
    UIButton_Lumora::setTitleForAllState(button.get(), "Save");
    UIButton_Lumora::setTitleColorForAllState(button.get(), Color::redColor());
    for (unsigned long state : {ControlState::Normal, ControlState::Highlighted, ControlState::Disabled, ControlState::Selected}) {
        EXPECT_EQ(button->titleForState(state), "Save");
        EXPECT_EQ(button->titleColorForState(state), Color::redColor());
    }
}

TEST(InterfaceCategories, AdjustPopoverSizeMovesOnlySheetsAndPopovers)
{
    auto controller = newObject<ViewController>();
    controller->view()->setFrame(Rect(0, 0, 300, 200));
    controller->view()->setSafeAreaInsets(EdgeInsets{20, 10, 5, 4});
    controller->setModalPresentationStyle(ModalPresentationStyle::FullScreen);
    UIViewController_Lumora::adjustPopoverSize(controller.get());
    EXPECT_EQ(controller->view()->frame(), Rect(0, 0, 300, 200));

    controller->setModalPresentationStyle(ModalPresentationStyle::Popover);
    UIViewController_Lumora::adjustPopoverSize(controller.get());
    EXPECT_EQ(controller->view()->frame(), Rect(10, 20, 306, 220));
}

namespace {

class DebugView : public View {
public:
    using View::View;
    void drawRect(Rect const& rect) override { Category::drawDebugBackgroundInRect(this, rect); }
};

} // namespace

TEST(InterfaceCategories, DebugBackgroundStrokesItsOutlinesInLightGrey)
{
    auto view = std::make_shared<DebugView>(Rect(0, 0, 60, 40));
    view->setBackgroundColor(Color::blackColor());
    Image image = renderViewToImage(*view);
    // On the diagonal from (0, 0) to (60, 40), and on the inner rectangle's top edge at y = 5.
    EXPECT_GT(image.colorAt({30.2, 20.2}).red(), 0.3);
    EXPECT_GT(image.colorAt({30, 5}).red(), 0.3);
    EXPECT_LT(image.colorAt({45, 33}).red(), 0.1);
}
