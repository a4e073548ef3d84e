// What a window tells its on-screen host to draw again.

#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

struct Invalidation : ::testing::Test {
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 400, 300));
    std::shared_ptr<View> panel = std::make_shared<View>(Rect(100, 50, 200, 200));
    std::shared_ptr<Label> label = std::make_shared<Label>(Rect(10, 20, 80, 16));
    int handlerCalls = 0;

    void SetUp() override
    {
        panel->addSubview(label);
        window->addSubview(panel);
        window->setInvalidationHandler([this] { ++handlerCalls; });
        window->layoutIfNeeded();
        window->takeInvalidRegion();
        handlerCalls = 0;
    }
};

} // namespace

TEST_F(Invalidation, ADisplayRequestInvalidatesTheViewsRectangleInWindowPoints)
{
    label->setText("440 Hz");
    InvalidRegion region = window->takeInvalidRegion();
    ASSERT_FALSE(region.coversAll());
    ASSERT_EQ(region.rects().size(), 1u);
    // The label's frame in the window, with a margin for antialiased edges.
    EXPECT_EQ(region.rects().front(), (Rect{108, 68, 84, 20}));
    EXPECT_EQ(handlerCalls, 1);

    // Under a scale transform the rectangle follows it, cut to the window.
    panel->setTransform(AffineTransform::scaling(2, 2));
    window->takeInvalidRegion();
    label->setNeedsDisplay();
    EXPECT_EQ(window->takeInvalidRegion().rects().front(), (Rect{18, 0, 164, 24}));
}

TEST_F(Invalidation, TheHostIsToldOnceUntilItTakesTheRegion)
{
    label->setNeedsDisplay();
    panel->setNeedsDisplay();
    window->setNeedsLayout();
    EXPECT_EQ(handlerCalls, 1);
    EXPECT_TRUE(window->hasPendingUpdate());
    InvalidRegion region = window->takeInvalidRegion();
    EXPECT_EQ(region.rects().size(), 1u);  // the label lies inside the panel: merged
    EXPECT_FALSE(window->hasPendingUpdate());
    label->setNeedsDisplay();
    EXPECT_EQ(handlerCalls, 2);
}

TEST_F(Invalidation, GeometryVisibilityAndTreeChangesInvalidateTheWholeWindow)
{
    struct Change {
        char const* what;
        std::function<void()> make;
    };
    auto extra = std::make_shared<View>(Rect(0, 0, 5, 5));
    std::vector<Change> changes{
        {"frame", [&] { label->setFrame(Rect(12, 20, 80, 16)); }},
        {"bounds origin (scrolling)", [&] { panel->setBounds(Rect(0, 10, 200, 200)); }},
        {"hidden", [&] { label->setHidden(true); }},
        {"alpha", [&] { panel->setAlpha(0.5); }},
        {"add", [&] { panel->addSubview(extra); }},
        {"to front", [&] { panel->bringSubviewToFront(label.get()); }},
        {"remove", [&] { extra->removeFromSuperview(); }},
    };
    for (auto const& change : changes) {
        SCOPED_TRACE(change.what);
        change.make();
        EXPECT_TRUE(window->takeInvalidRegion().coversAll());
    }
    // Setting what is already there changes nothing.
    label->setFrame(label->frame());
    label->setHidden(true);
    panel->setAlpha(0.5);
    EXPECT_TRUE(window->takeInvalidRegion().isEmpty());
}

TEST_F(Invalidation, ViewsOutsideAWindowTellNoOne)
{
    auto loose = std::make_shared<Label>(Rect(0, 0, 10, 10));
    loose->setText("x");
    loose->setFrame(Rect(1, 1, 10, 10));
    EXPECT_FALSE(window->hasPendingUpdate());
    EXPECT_EQ(handlerCalls, 0);
}

TEST(WindowResize, ViewsThatFilledTheWindowFillItAgain)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 400, 300));
    auto filling = std::make_shared<View>(Rect(0, 0, 400, 300));
    auto pinned = std::make_shared<View>(Rect(10, 10, 50, 50));
    window->addSubview(filling);
    window->addSubview(pinned);
    window->resizeTo(Size{800, 500});
    EXPECT_EQ(window->bounds(), (Rect{0, 0, 800, 500}));
    EXPECT_EQ(filling->frame(), (Rect{0, 0, 800, 500}));
    EXPECT_EQ(pinned->frame(), (Rect{10, 10, 50, 50}));
    EXPECT_TRUE(window->takeInvalidRegion().coversAll());
}

TEST(InvalidRegionPixels, RectanglesBecomeWholePixelsInsideTheSurface)
{
    InvalidRegion region;
    region.add(Rect(10.2, 5.5, 3, 3));
    region.add(Rect(-4, 90, 20, 20));
    auto pixels = region.pixelRects(2, 100, 200);
    ASSERT_EQ(pixels.size(), 2u);
    EXPECT_EQ(pixels[0], (Rect{20, 11, 7, 6}));
    EXPECT_EQ(pixels[1], (Rect{0, 180, 32, 20}));

    for (int i = 0; i < 40; ++i)
        region.add(Rect(i * 10, 0, 2, 2));
    EXPECT_LE(region.rects().size(), InvalidRegion::kMaximumRects);
    region.addAll();
    EXPECT_EQ(region.pixelRects(1.5, 30, 40), (std::vector<Rect>{Rect(0, 0, 30, 40)}));
}
