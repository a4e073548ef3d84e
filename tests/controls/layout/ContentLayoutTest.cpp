#include "controls/layout/layoutContentVw_In_ContainerVw.h"

#include "platform/ui/View.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Platform;

namespace {

struct Case {
    char const* what;
    Size container;
    Size original;
    int32_t mode;
    float maxScale;
    float tolerance;
    Rect shown;  // the content's displayed rectangle in the container
};

} // namespace

TEST(ContentLayout, FitsScalesAndCentres)
{
    Size const surface{1000, 500};
    std::vector<Case> const cases = {
        {"fit the width", {900, 800}, surface, 1, 10, 0, {0, 175, 900, 450}},
        {"fill, no tolerance: overflows", {900, 800}, surface, 2, 10, 0, {0, 0, 1600, 800}},
        {"fill, overflow beyond the tolerance", {900, 800}, surface, 2, 10, 100, {0, 0, 1600, 800}},
        {"fit the height", {900, 800}, surface, 0, 10, 0, {0, 0, 1600, 800}},
        {"small overflow shrunk", {1000, 480}, surface, 1, 10, 100, {20, 0, 960, 480}},
        {"no scaling for other modes", {1200, 800}, surface, 7, 10, 0, {100, 150, 1000, 500}},
        {"other modes still capped", {1200, 800}, surface, -1, 0.5f, 0, {350, 275, 500, 250}},
        {"cap below the fit leaves margins", {900, 800}, surface, 1, 0.5f, 0, {200, 275, 500, 250}},
        // Equal overflows: the vertical rule shrinks by the height (0.9), not the width (0.95).
        {"tie uses the vertical rule", {190, 90}, {200, 100}, 7, 10, 20, {5, 0, 180, 90}},
        {"larger horizontal overflow", {180, 95}, {200, 100}, 7, 10, 50, {0, 2.5, 180, 90}},
        {"overflow equal to the tolerance stays", {180, 95}, {200, 100}, 7, 10, 20, {0, 0, 200, 100}},
        {"fit the height of a tall box", {400, 1000}, surface, 0, 10, 0, {0, 0, 2000, 1000}},
    };
    for (Case const& c : cases) {
        auto container = std::make_shared<View>(Rect({0, 0}, c.container));
        auto content = std::make_shared<View>(Rect({0, 0}, c.original));
        container->addSubview(content);
        Size const result = layoutContentVw_In_ContainerVw(container.get(), content.get(), c.mode, c.original,
                                                           c.maxScale, c.tolerance);
        EXPECT_NEAR(result.width, c.shown.size.width, 1e-9) << c.what;
        EXPECT_NEAR(result.height, c.shown.size.height, 1e-9) << c.what;
        Rect const frame = content->frame();
        EXPECT_NEAR(frame.origin.x, c.shown.origin.x, 1e-9) << c.what;
        EXPECT_NEAR(frame.origin.y, c.shown.origin.y, 1e-9) << c.what;
        EXPECT_NEAR(frame.size.width, c.shown.size.width, 1e-9) << c.what;
        EXPECT_NEAR(frame.size.height, c.shown.size.height, 1e-9) << c.what;
        // In its own coordinates the content keeps its interface-file size.
        EXPECT_NEAR(content->bounds().size.width, c.original.width, 1e-9) << c.what;
        EXPECT_NEAR(content->bounds().size.height, c.original.height, 1e-9) << c.what;
        EXPECT_NEAR(content->transform().a, content->transform().d, 1e-12) << c.what;
    }
}

TEST(ContentLayout, AnEmptyContainerLeavesTheContentAlone)
{
    // A zero scale would make the content's transform singular.
    auto container = std::make_shared<View>(Rect(0, 0, 0, 0));
    auto content = std::make_shared<View>(Rect(10, 10, 100, 50));
    container->addSubview(content);
    Size const result = layoutContentVw_In_ContainerVw(container.get(), content.get(), 1, {100, 50}, 10, 0);
    EXPECT_EQ(result, (Size{0, 0}));
    EXPECT_EQ(content->frame(), Rect(10, 10, 100, 50));
    EXPECT_TRUE(content->transform().isIdentity());

    // So does an empty interface size.
    auto box = std::make_shared<View>(Rect(0, 0, 300, 300));
    box->addSubview(content);
    EXPECT_EQ(layoutContentVw_In_ContainerVw(box.get(), content.get(), 2, {0, 0}, 0, 0), (Size{0, 0}));
    EXPECT_EQ(content->frame(), Rect(10, 10, 100, 50));
}
