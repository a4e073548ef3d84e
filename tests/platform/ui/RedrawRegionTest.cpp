// Drawing only the invalid part of a window: the views it misses are not drawn, and the picture
// is the one a whole render gives.

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/RedrawRegion.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <cstring>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

using namespace Platform;

namespace {

// A view that counts its drawRect calls and strokes its bounds with a line centred on them, so
// that its drawing spills 1.5 points outside.
class CountingView : public View {
public:
    CountingView(Rect frame, Color color) : View(frame), color_(color) {}
    void setColor(Color color)
    {
        color_ = color;
        setNeedsDisplay();
    }
    void drawRect(Rect const&) override
    {
        ++draws;
        BezierPath path = BezierPath::withRect(bounds());
        path.setLineWidth(3);
        GraphicsContext::current()->setStrokeColor(color_);
        GraphicsContext::current()->strokePath(path);
    }
    int draws = 0;

private:
    Color color_;
};

// The pixels at which two pictures of the same size differ. (The regions below cut no slanted
// edge: Cairo may cover such an edge a few steps differently where a clip cuts it.)
int differingPixels(Image const& a, Image const& b)
{
    cairo_surface_t* sa = a.surface();
    cairo_surface_t* sb = b.surface();
    cairo_surface_flush(sa);
    cairo_surface_flush(sb);
    int const width = cairo_image_surface_get_width(sa);
    int const height = cairo_image_surface_get_height(sa);
    if (width != cairo_image_surface_get_width(sb) || height != cairo_image_surface_get_height(sb))
        return width * height;
    int differing = 0;
    for (int y = 0; y < height; ++y) {
        auto const* ra = reinterpret_cast<std::uint32_t const*>(cairo_image_surface_get_data(sa) +
                                                                 y * cairo_image_surface_get_stride(sa));
        auto const* rb = reinterpret_cast<std::uint32_t const*>(cairo_image_surface_get_data(sb) +
                                                                 y * cairo_image_surface_get_stride(sb));
        for (int x = 0; x < width; ++x)
            differing += ra[x] != rb[x];
    }
    return differing;
}

// A window with views apart, one inside a clipping panel, one sticking out of an unclipped
// container, one turned, and one translucent group, drawn at twice the point size.
struct RegionRedraw : ::testing::Test {
    static constexpr double kScale = 2;
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 400, 300));
    std::shared_ptr<CountingView> left = std::make_shared<CountingView>(Rect(10, 10, 100, 100), Color(1, 0, 0, 1));
    std::shared_ptr<CountingView> right = std::make_shared<CountingView>(Rect(113, 10, 100, 100), Color(0, 0, 1, 1));
    std::shared_ptr<CountingView> clipper = std::make_shared<CountingView>(Rect(10, 150, 150, 100), Color(0, 1, 0, 1));
    std::shared_ptr<CountingView> inner = std::make_shared<CountingView>(Rect(20, 20, 150, 50), Color(1, 0, 1, 1));
    std::shared_ptr<CountingView> loose = std::make_shared<CountingView>(Rect(200, 150, 50, 50), Color(0, 1, 1, 1));
    std::shared_ptr<CountingView> outside = std::make_shared<CountingView>(Rect(100, 0, 60, 60), Color(1, 1, 0, 1));
    std::shared_ptr<CountingView> turned = std::make_shared<CountingView>(Rect(300, 20, 60, 60), Color(0.5, 0, 0, 1));
    std::shared_ptr<CountingView> faded = std::make_shared<CountingView>(Rect(260, 230, 40, 40), Color(0, 0, 0.5, 1));
    std::map<std::string, CountingView*> views;
    Image shown;

    void SetUp() override
    {
        window->setBackgroundColor(Color(1, 1, 1, 1));
        clipper->setClipsToBounds(true);
        clipper->setBackgroundColor(Color(0.9, 0.9, 0.9, 1));
        clipper->addSubview(inner);  // reaches past the panel's right edge, cut there
        loose->addSubview(outside);  // lies wholly outside its container
        turned->setTransform(AffineTransform::rotation(M_PI / 6));
        turned->setBackgroundColor(Color(0.8, 0.7, 0.1, 1));
        faded->setAlpha(0.5);
        faded->setBackgroundColor(Color(0.2, 0.6, 0.2, 1));
        for (auto const& view : {left, right, clipper, loose, turned, faded})
            window->addSubview(view);
        views = {{"left", left.get()},       {"right", right.get()},     {"clipper", clipper.get()},
                 {"inner", inner.get()},     {"loose", loose.get()},     {"outside", outside.get()},
                 {"turned", turned.get()},   {"faded", faded.get()}};
        shown = window->renderToImage(kScale);
        window->takeInvalidRegion();
    }

    // Draws what the window reports invalid into the shown picture, as the on-screen host does,
    // and answers the names of the views drawn.
    std::string redrawInvalid()
    {
        for (auto const& [name, view] : views)
            view->draws = 0;
        InvalidRegion const region = window->takeInvalidRegion();
        redrawWindowRegion(*window, shown.surface(), kScale,
                           region.pixelRects(kScale, shown.pixelWidth(), shown.pixelHeight()));
        std::string drawn;
        for (auto const& [name, view] : views)
            if (view->draws > 0)
                drawn += (drawn.empty() ? "" : " ") + name;
        return drawn;
    }
};

} // namespace

TEST_F(RegionRedraw, OnlyTheViewsTheRegionMeetsAreDrawnAndThePictureIsTheWholeRender)
{
    struct Case {
        char const* what;
        std::function<void(RegionRedraw&)> change;
        char const* drawn;
    };
    Case const cases[] = {
        // The right neighbour lies 3 points away: its stroke spills into the request's margin.
        {"a display request", [](RegionRedraw& t) { t.left->setColor(Color(0.5, 0.5, 0, 1)); }, "left right"},
        {"a view inside a clipping panel",
         [](RegionRedraw& t) { t.inner->setColor(Color(0, 0, 0, 1)); }, "clipper inner"},
        {"a view outside its unclipped container", [](RegionRedraw& t) { t.outside->setColor(Color(0, 0, 0, 1)); },
         "outside"},
        {"the part of a clipped view past its panel is not drawn",
         [](RegionRedraw& t) { t.window->invalidateRect(Rect(180, 170, 10, 10)); }, ""},
        // Inside the turned square, below its unturned frame.
        {"a turned view, where its corner swings out of its frame",
         [](RegionRedraw& t) { t.window->invalidateRect(Rect(338, 84, 2.5, 2)); }, "turned"},
        {"a translucent group", [](RegionRedraw& t) { t.faded->setColor(Color(1, 0, 0, 1)); }, "faded"},
        // The container between them meets their bounding box, not them.
        {"two requests far apart", [](RegionRedraw& t) {
             t.inner->setColor(Color(0, 0, 1, 1));
             t.outside->setColor(Color(0, 0, 1, 1));
         }, "clipper inner outside"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        c.change(*this);
        EXPECT_EQ(redrawInvalid(), c.drawn);
        EXPECT_EQ(differingPixels(shown, window->renderToImage(kScale)), 0);
    }
}

TEST_F(RegionRedraw, AWholeWindowInvalidationDrawsEveryView)
{
    window->invalidateAll();
    EXPECT_EQ(redrawInvalid(), "clipper faded inner left loose outside right turned");
    EXPECT_EQ(differingPixels(shown, window->renderToImage(kScale)), 0);
}
