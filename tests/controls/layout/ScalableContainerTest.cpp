#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/layout/Lumora_ScalableContentView.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

using namespace Platform;

namespace {

struct Owner : Lumora_ScalableContainer_Delegate {
    float scale = 10;
    int outside = 0;
    float scaleOfContent() override { return scale; }
    void touchOutsideOfContent() override { ++outside; }
};

// A container in a window holding a content laid out at 1000 x 500.
class ScalableContainer : public ::testing::Test {
protected:
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 1000, 1000));
    std::shared_ptr<Lumora_ScalableContainerView> container =
        std::make_shared<Lumora_ScalableContainerView>(Rect(0, 0, 500, 600));
    std::shared_ptr<Lumora_ScalableContentView> content =
        std::make_shared<Lumora_ScalableContentView>(Rect(0, 0, 1000, 500));
    Owner owner;

    void SetUp() override
    {
        content->awakeFromNib();
        container->addSubview(content);
        container->setContainerDelegate(&owner);
        window->addSubview(container);
    }

    void resize(double width, double height)
    {
        container->setFrame(Rect(0, 0, width, height));
        container->layoutIfNeeded();
    }
};

void expectRect(Rect const& actual, Rect const& expected)
{
    // Scales are 32-bit floats.
    EXPECT_NEAR(actual.origin.x, expected.origin.x, 1e-4);
    EXPECT_NEAR(actual.origin.y, expected.origin.y, 1e-4);
    EXPECT_NEAR(actual.size.width, expected.size.width, 1e-4);
    EXPECT_NEAR(actual.size.height, expected.size.height, 1e-4);
}

} // namespace

TEST_F(ScalableContainer, FitsTheContentToItsWidthAndRefitsOnResize)
{
    EXPECT_FALSE(container->delaysContentTouches());
    EXPECT_EQ(content->originalSize(), (Size{1000, 500}));
    container->layoutIfNeeded();
    EXPECT_EQ(container->contentView(), content.get());
    expectRect(content->frame(), {0, 175, 500, 250});
    EXPECT_EQ(container->contentSize(), (Size{500, 250}));
    EXPECT_EQ(container->lastSize(), (Size{500, 600}));
    EXPECT_EQ(container->lastScale(), 10.0f);

    resize(800, 600);
    expectRect(content->frame(), {0, 100, 800, 400});
    EXPECT_EQ(container->contentSize(), (Size{800, 400}));

    // Narrower than tall content: fit the width, scroll the rest.
    resize(1000, 300);
    expectRect(content->frame(), {0, 0, 1000, 500});
    EXPECT_EQ(container->contentSize(), (Size{1000, 500}));
}

TEST_F(ScalableContainer, RefitsWhenTheOwnersScaleChangesOnly)
{
    container->layoutIfNeeded();
    // Same size and scale: a new pass leaves a moved content where it is.
    content->setCenter({42, 42});
    container->layoutSubviews();
    EXPECT_EQ(content->center(), (Point{42, 42}));

    owner.scale = 0.2f;
    container->layoutSubviews();
    expectRect(content->frame(), {150, 250, 200, 100});
    EXPECT_EQ(container->lastScale(), 0.2f);

    // Without an owner the largest scale is 1.
    container->setContainerDelegate(nullptr);
    container->layoutSubviews();
    expectRect(content->frame(), {0, 175, 500, 250});
}

TEST_F(ScalableContainer, ReturnsToItsTopEdgeAfterARefit)
{
    resize(250, 100);  // the content is 125 high: it scrolls
    container->setContentOffset({0, 20});
    resize(200, 100);
    EXPECT_EQ(container->contentOffset(), (Point{0, 20}));
    RunLoop::main().runFor(std::chrono::milliseconds(60));
    EXPECT_EQ(container->contentOffset(), (Point{0, 0}));
}

TEST_F(ScalableContainer, TapBesideTheContentIsReported)
{
    container->layoutIfNeeded();  // content at (0, 175) 500 x 250
    window->tap({250, 50}, 1);
    EXPECT_EQ(owner.outside, 1);
    window->tap({250, 300}, 2);
    EXPECT_EQ(owner.outside, 1);
}

TEST(ScalableContainerAlone, WithoutContentLaysOutNothing)
{
    auto container = std::make_shared<Lumora_ScalableContainerView>(Rect(0, 0, 300, 300));
    container->addSubview(std::make_shared<View>(Rect(0, 0, 600, 600)));
    container->layoutIfNeeded();
    EXPECT_EQ(container->contentView(), nullptr);
    EXPECT_EQ(container->contentSize(), (Size{0, 0}));
    EXPECT_EQ(container->lastScale(), 1.0f);
}

TEST(ScalableContainerAlone, PlacesANestedContentInTheContainersCoordinates)
{
    auto container = std::make_shared<Lumora_ScalableContainerView>(Rect(0, 0, 400, 400));
    auto wrapper = std::make_shared<View>(Rect(30, 40, 300, 300));
    auto content = std::make_shared<Lumora_ScalableContentView>(Rect(0, 0, 200, 100));
    wrapper->addSubview(content);
    container->addSubview(wrapper);
    container->layoutIfNeeded();
    EXPECT_EQ(container->contentView(), content.get());
    // Unscaled without an owner, and centred in the container wherever its superview lies.
    expectRect(content->convertRectToView(content->bounds(), container.get()), {100, 150, 200, 100});
}

TEST(ScalableContainerAlone, AContentViewGoneIsSearchedAgain)
{
    auto container = std::make_shared<Lumora_ScalableContainerView>(Rect(0, 0, 300, 300));
    auto first = std::make_shared<Lumora_ScalableContentView>(Rect(0, 0, 100, 100));
    container->setContentView(first.get());
    EXPECT_EQ(container->contentView(), first.get());
    first.reset();
    auto second = std::make_shared<Lumora_ScalableContentView>(Rect(0, 0, 100, 100));
    container->addSubview(second);
    EXPECT_EQ(container->contentView(), second.get());
}
