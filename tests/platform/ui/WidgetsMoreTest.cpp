#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Platform;

namespace {

class ThreeItems : public CollectionViewDataSource {
public:
    int asked = 0;
    int numberOfItemsInSection(CollectionView*, int) override
    {
        ++asked;
        return 3;
    }
    std::shared_ptr<CollectionViewCell> cellForItemAtIndexPath(CollectionView*, IndexPath) override
    {
        return std::make_shared<CollectionViewCell>(Rect(0, 0, 10, 10));
    }
};

// Counts the geometry setters that reach it through the base classes.
class CountingScrollView : public ScrollView {
public:
    using ScrollView::ScrollView;
    int frames = 0;
    int contentSizes = 0;
    void setFrame(Rect const& frame) override
    {
        ScrollView::setFrame(frame);
        ++frames;
    }
    void setContentSize(Size size) override
    {
        ScrollView::setContentSize(size);
        ++contentSizes;
    }
};

void expectColor(Image const& image, Point p, Color expected)
{
    Color c = image.colorAt(p);
    EXPECT_NEAR(c.red(), expected.red(), 0.05) << p.x << "," << p.y;
    EXPECT_NEAR(c.green(), expected.green(), 0.05) << p.x << "," << p.y;
    EXPECT_NEAR(c.blue(), expected.blue(), 0.05) << p.x << "," << p.y;
}

// 20 x 10: its left quarter red, the rest blue.
Image quarterRedImage()
{
    BitmapContext bitmap({20, 10});
    bitmap.context().setFillColor(Color::blueColor());
    bitmap.context().fillRect(Rect(0, 0, 20, 10));
    bitmap.context().setFillColor(Color::redColor());
    bitmap.context().fillRect(Rect(0, 0, 5, 10));
    return bitmap.makeImage();
}

} // namespace

TEST(UiWidgetsMore, CollectionViewAsksItsDataSourceAtItsFirstLayoutOnly)
{
    ThreeItems source;
    auto grid = std::make_shared<CollectionView>(Rect(0, 0, 100, 100), CollectionViewFlowLayout{});
    grid->setDataSource(&source);
    EXPECT_EQ(grid->numberOfItemsInSection(0), 0);
    grid->layoutIfNeeded();
    EXPECT_EQ(grid->numberOfItemsInSection(0), 3);
    ASSERT_NE(grid->cellForItemAtIndexPath(IndexPath::forItem(2, 0)), nullptr);
    EXPECT_EQ(grid->cellForItemAtIndexPath(IndexPath::forItem(2, 0))->superview(), grid.get());
    EXPECT_GT(grid->contentSize().height, 0);
    grid->setNeedsLayout();
    grid->layoutIfNeeded();
    EXPECT_EQ(source.asked, 1);

    // A grid reloaded before its first layout is not asked again by it.
    ThreeItems other;
    auto reloaded = std::make_shared<CollectionView>(Rect(0, 0, 100, 100), CollectionViewFlowLayout{});
    reloaded->setDataSource(&other);
    reloaded->reloadData();
    reloaded->setNeedsLayout();
    reloaded->layoutIfNeeded();
    EXPECT_EQ(other.asked, 1);
}

TEST(UiWidgetsMore, SubviewsFollowTheirAutoresizingMasks)
{
    using namespace Autoresizing;
    struct Case {
        unsigned mask;
        Rect expected;  // after the parent grows from 100 x 100 to 200 x 150
    };
    std::vector<Case> const cases{
        {None, Rect(10, 10, 30, 30)},
        {FlexibleWidth | FlexibleHeight, Rect(10, 10, 130, 80)},
        {FlexibleLeftMargin | FlexibleTopMargin, Rect(110, 60, 30, 30)},
        {FlexibleRightMargin | FlexibleBottomMargin, Rect(10, 10, 30, 30)},
        // Both margins share the growth in proportion to their lengths (10 : 60).
        {FlexibleLeftMargin | FlexibleRightMargin, Rect(10 + 100.0 * 10 / 70, 10, 30, 30)},
        // Margins and width share it 10 : 30 : 60; the height alone is flexible vertically.
        {FlexibleWidth | FlexibleLeftMargin | FlexibleRightMargin | FlexibleHeight, Rect(20, 10, 60, 80)},
    };
    for (Case const& c : cases) {
        auto parent = std::make_shared<View>(Rect(0, 0, 100, 100));
        auto child = std::make_shared<View>(Rect(10, 10, 30, 30));
        child->setAutoresizingMask(c.mask);
        parent->addSubview(child);
        parent->setFrame(Rect(0, 0, 200, 150));
        Rect f = child->frame();
        EXPECT_NEAR(f.minX(), c.expected.minX(), 1e-9) << c.mask;
        EXPECT_NEAR(f.minY(), c.expected.minY(), 1e-9) << c.mask;
        EXPECT_NEAR(f.width(), c.expected.width(), 1e-9) << c.mask;
        EXPECT_NEAR(f.height(), c.expected.height(), 1e-9) << c.mask;
        // Shrinking back through the bounds undoes it.
        parent->setBounds(Rect(0, 0, 100, 100));
        EXPECT_NEAR(child->frame().width(), 30, 1e-9) << c.mask;
        EXPECT_NEAR(child->frame().minX(), 10, 1e-9) << c.mask;
    }

    // A parent that does not autoresize leaves its subviews alone; a nested flexible view
    // follows in turn, through a subclass' own setter.
    auto parent = std::make_shared<View>(Rect(0, 0, 100, 100));
    auto scroll = std::make_shared<CountingScrollView>(Rect(0, 0, 100, 100));
    scroll->setAutoresizingMask(FlexibleWidth | FlexibleHeight);
    auto inner = std::make_shared<View>(Rect(0, 0, 100, 20));
    inner->setAutoresizingMask(FlexibleWidth);
    scroll->addSubview(inner);
    parent->addSubview(scroll);
    parent->setFrame(Rect(0, 0, 300, 100));
    EXPECT_EQ(scroll->frames, 1);
    EXPECT_EQ(inner->frame(), Rect(0, 0, 300, 20));
    parent->setAutoresizesSubviews(false);
    parent->setFrame(Rect(0, 0, 50, 50));
    EXPECT_EQ(scroll->frame(), Rect(0, 0, 300, 100));
}

TEST(UiWidgetsMore, GeometrySettersReachSubclassOverrides)
{
    auto scroll = std::make_shared<CountingScrollView>(Rect(0, 0, 10, 10));
    View& asView = *scroll;
    asView.setFrame(Rect(0, 0, 20, 20));
    ScrollView& asScroll = *scroll;
    asScroll.setContentSize({40, 40});
    EXPECT_EQ(scroll->frames, 1);
    EXPECT_EQ(scroll->contentSizes, 1);
    EXPECT_EQ(scroll->contentSize(), (Size{40, 40}));
}

TEST(UiWidgetsMore, ImageViewContentModesPlaceTheImage)
{
    Image image = quarterRedImage();
    auto render = [&](ContentMode mode) {
        // The image view sits at x 10 of a white strip, so overflow would show either side.
        auto strip = std::make_shared<View>(Rect(0, 0, 30, 10));
        strip->setBackgroundColor(Color::whiteColor());
        auto view = std::make_shared<ImageView>(Rect(10, 0, 10, 10));
        view->setImage(image);
        view->setContentMode(mode);
        view->setClipsToBounds(true);
        strip->addSubview(view);
        return renderViewToImage(*strip, 2);
    };
    // Stretched: the red quarter is squeezed to the left 2.5 points.
    Image fill = render(ContentMode::ScaleToFill);
    expectColor(fill, {11, 5}, Color::redColor());
    expectColor(fill, {15, 5}, Color::blueColor());
    // Aspect fill: scaled by 1 to cover the height, centred, so the red quarter is cut away.
    Image aspectFill = render(ContentMode::ScaleAspectFill);
    for (Point p : {Point{10.5, 5}, Point{11, 1}, Point{15, 9}, Point{19.5, 5}})
        expectColor(aspectFill, p, Color::blueColor());
    expectColor(aspectFill, {8, 5}, Color::whiteColor());  // clipped: nothing left of the view
    expectColor(aspectFill, {21, 5}, Color::whiteColor());
    // Aspect fit: scaled by 0.5, letterboxed top and bottom.
    Image aspectFit = render(ContentMode::ScaleAspectFit);
    expectColor(aspectFit, {15, 1}, Color::whiteColor());
    expectColor(aspectFit, {11, 5}, Color::redColor());
    expectColor(aspectFit, {16, 5}, Color::blueColor());
}
