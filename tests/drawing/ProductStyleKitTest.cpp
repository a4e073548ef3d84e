#include "drawing/StyleKit.h"
#include "drawing/StyleKitSupport.h"
#include "drawing/support/PixelProbe.h"
#include "platform/graphics/GraphicsContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using Platform::Color;
using Platform::Image;
using Platform::Point;
using Platform::Rect;
using Platform::Size;
using StyleKitTesting::near;
using StyleKitTesting::render;

namespace {

Point onRing(double degrees, double radius = 20)
{
    double const a = degrees * std::numbers::pi / 180;
    return {25 + radius * std::cos(a), 25 + radius * std::sin(a)};
}

Image knob(double value, bool bipolar, bool disabled = false, double variation = 0)
{
    return render(Size{50, 50}, [&] { StyleKit::drawKnobWithFrame(Rect(0, 0, 50, 50), value, disabled, bipolar, variation); });
}

void expectColorAt(Image const& image, Point p, Color const& expected)
{
    Color const actual = image.colorAt(p);
    EXPECT_TRUE(near(actual, expected)) << "at (" << p.x << ", " << p.y << "): " << actual.red() << " "
                                        << actual.green() << " " << actual.blue() << " " << actual.alpha();
}

Color const track0(0.274, 0.021, 0.021);
Color const value0(0.867, 0.141, 0.169);

} // namespace

TEST(ProductStyleKitTest, PaletteAndDerivedColours)
{
    StyleKit::initialize();
    EXPECT_EQ(StyleKit::backgroundColor(), Color(0.285, 0, 0));
    EXPECT_EQ(StyleKit::displayBoxColor(), Color(0.223, 0.201, 0.201));
    EXPECT_EQ(StyleKit::switchTopColor(), Color(0.827, 0, 0));
    EXPECT_EQ(&StyleKit::backgroundColor(), &StyleKit::backgroundColor());

    using Lumora::StyleKitSupport::highlight;
    using Lumora::StyleKitSupport::shadow;
    Color const pressedBase = highlight(Color(0, 0, 0, 1), 0.2);
    EXPECT_NEAR(pressedBase.red(), 0.2, 1e-12);
    EXPECT_NEAR(pressedBase.alpha(), 1, 1e-12);
    Color const pressedTop = shadow(Color(0.478, 0.412, 0.396, 1), 0.4);
    EXPECT_NEAR(pressedTop.red(), 0.2868, 1e-12);
    EXPECT_NEAR(pressedTop.green(), 0.2472, 1e-12);
    EXPECT_NEAR(pressedTop.blue(), 0.2376, 1e-12);
    EXPECT_NEAR(pressedTop.alpha(), 1, 1e-12);
    Color const translucent = shadow(Color(1, 1, 1, 0.5), 0.5);
    EXPECT_NEAR(translucent.alpha(), 0.75, 1e-12);
}

TEST(ProductStyleKitTest, KnobArcsByDashLength)
{
    // Half value: the arc runs 47 of the track's 94 points, from 135 to about 270 degrees.
    Image const half = knob(0.5, false);
    expectColorAt(half, onRing(200), value0);
    expectColorAt(half, onRing(300), track0);
    // The disc has radius 10 at 0.5.
    expectColorAt(half, onRing(0, 8.5), Color(0.867 * 0.7, 0.141 * 0.7, 0.169 * 0.7));
    expectColorAt(half, onRing(0, 11.5), Color::clearColor());

    Image const down = knob(0.25, true); // 23.5 points counter-clockwise from the top
    expectColorAt(down, onRing(240), value0);
    expectColorAt(down, onRing(300), track0);
    Image const up = knob(0.75, true); // 24 points clockwise from the top
    expectColorAt(up, onRing(300), value0);
    expectColorAt(up, onRing(240), track0);
    Image const centre = knob(0.5, true);
    expectColorAt(centre, onRing(260), track0);
    expectColorAt(centre, onRing(280), track0);

    // Gold for any variation beyond 1.
    expectColorAt(knob(0, false, false, 7), onRing(300), Color(0.227, 0.183, 0.016));
    expectColorAt(knob(1, false, false, 7), onRing(300), Color(0.869, 0.62, 0.126));
    // The open bottom of the ring stays empty.
    expectColorAt(half, onRing(90), Color::clearColor());
}

TEST(ProductStyleKitTest, DisabledKnobDarkensRingAndDiscAndHidesTheIndicator)
{
    auto veiled = [](Color const& c) { return Color(c.red() * 0.512, c.green() * 0.512, c.blue() * 0.512, 1); };
    Image const disabled = knob(0.5, false, true);
    expectColorAt(disabled, onRing(200), veiled(value0));
    expectColorAt(disabled, onRing(300), veiled(track0));
    // At 0.5 the indicator, a line one point wide on x = 25, points straight up across the gap
    // between disc and ring.
    EXPECT_GT(knob(0.5, false).colorAt({25, 25 - 13.5}).alpha(), 0.4);
    expectColorAt(disabled, {25, 25 - 13.5}, Color::clearColor());
}

TEST(ProductStyleKitTest, ButtonLights)
{
    Rect const frame(0, 0, 150, 60);
    Color const top(0.478, 0.412, 0.396);
    Color const light(1, 0.649, 0);
    Color const dim(0.3, 0.1947, 0);
    // Light box E = (64, 10, 20, 18).
    Image const on = render(Size{150, 60}, [&] { StyleKit::drawLedButtonWithFrame(frame, true, false); });
    expectColorAt(on, {73, 19}, light);
    expectColorAt(on, {83.5, 19}, top);
    Image const off = render(Size{150, 60}, [&] { StyleKit::drawLedButtonWithFrame(frame, false, false); });
    expectColorAt(off, {75, 19}, dim);
    expectColorAt(off, {64.5, 19}, top);

    struct Case {
        double selector;
        Color light;
    };
    Case const cases[] = {{0, dim}, {1, light}, {2, Color(0, 0.63, 1)}, {-1, Color(0, 0.63, 1)}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.selector);
        Image const image = render(Size{150, 60}, [&] { StyleKit::drawSelectorButtonWithFrame(frame, false, c.selector); });
        expectColorAt(image, {73, 19}, c.light);
    }

    Image const plain = render(Size{150, 60}, [&] { StyleKit::drawDefaultButtonWithFrame(frame, false, true); });
    expectColorAt(plain, {1, 1}, Color(0.2, 0.2, 0.2));
    expectColorAt(plain, {75, 45}, Color(0.2868, 0.2472, 0.2376));
    Image const selected = render(Size{150, 60}, [&] { StyleKit::drawDefaultButtonWithFrame(frame, true, false); });
    expectColorAt(selected, {75, 30}, light);
    expectColorAt(selected, {1, 1}, Color::blackColor());
}

TEST(ProductStyleKitTest, StepButtonLampAndFader)
{
    Image const step = render(Size{60, 60}, [] { StyleKit::drawStepButtonWithFrame(Rect(0, 0, 60, 60), true, false, false, false); });
    expectColorAt(step, {30, 30}, Color(0.838, 0, 0));
    expectColorAt(step, {0.5, 0.5}, Color(0.214, 0.214, 0.214));
    Image const lit = render(Size{60, 60}, [] { StyleKit::drawStepButtonWithFrame(Rect(0, 0, 60, 60), true, true, true, false); });
    expectColorAt(lit, {30, 30}, Color(1, 0.618, 0));
    expectColorAt(lit, {0.5, 0.5}, Color::blackColor());

    Image const lamp = render(Size{100, 100}, [] { StyleKit::drawLampSymbolWithValue(1); });
    expectColorAt(lamp, {50, 50}, Color(1, 0.65, 0.1));

    auto fader = [](bool disabled) {
        return render(Size{32, 130}, [&] { StyleKit::drawArpPgSliderWithValue(0, 2, disabled); });
    };
    Image const enabled = fader(false);
    Image const disabled = fader(true);
    expectColorAt(enabled, {16, 113.2}, Color(0.838, 0, 0));
    expectColorAt(disabled, {16, 113.2}, Color(0.838 * 0.512, 0, 0));
    expectColorAt(enabled, {3, 122}, Color(0.898, 0.098, 0.075));
    expectColorAt(disabled, {3, 122}, Color(0.898 * 0.512, 0.098 * 0.512, 0.075 * 0.512));
    // A selected mark (the bottom "1") darkened along with the track.
    expectColorAt(enabled, {11.5, 122}, Color(0.391, 0.391, 0.391));
    expectColorAt(disabled, {11.5, 122}, Color(0.391 * 0.512, 0.391 * 0.512, 0.391 * 0.512));
}
