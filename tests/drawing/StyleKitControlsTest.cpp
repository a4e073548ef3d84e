#include "drawing/Lumora_StyleKit.h"
#include "drawing/support/PixelProbe.h"
#include "platform/graphics/GraphicsContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

using K = Lumora_StyleKit;
using Platform::Color;
using Platform::GraphicsContext;
using Platform::Image;
using Platform::Point;
using Platform::Rect;
using Platform::Size;
using StyleKitTesting::near;
using StyleKitTesting::render;

namespace {

Point onCircle(double radius, double degrees)
{
    double const a = degrees * std::numbers::pi / 180;
    return {50 + radius * std::cos(a), 50 + radius * std::sin(a)};
}

Image knob(double value, bool bipolar, bool disabled = false)
{
    return render(Size{100, 100}, [&] {
        K::drawKnobWithFrame(Rect(0, 0, 100, 100), K::baseColor_(), K::topColor_(), K::markColor_(), value, disabled,
                             bipolar);
    });
}

void expectColorAt(Image const& image, Point p, Color const& expected, double tolerance = 2.5 / 255)
{
    Color const actual = image.colorAt(p);
    EXPECT_TRUE(near(actual, expected, tolerance)) << "at (" << p.x << ", " << p.y << "): " << actual.red() << " "
                                        << actual.green() << " " << actual.blue() << " " << actual.alpha();
}

} // namespace

// Every routine draws at its natural size, restores the state it saved and leaves ink.
TEST(StyleKitControlsTest, EveryRoutineRendersAtItsNaturalSizeAndRestoresTheState)
{
    struct Case {
        char const* name;
        Size size;
        std::function<void()> draw;
    };
    Case const cases[] = {
        {"knob", {100, 100}, [] { K::drawKnobSymbolWithBaseColor(K::baseColor_(), K::topColor_(), K::markColor_(), 0.3, true, true); }},
        {"slider", {50, 200}, [] { K::drawSliderWithFrame(Rect(0, 0, 50, 200), K::baseColor_(), K::topColor_(), K::topFrameColor_(), K::guageTopColor_(), 0.3, true); }},
        {"push switch", {150, 60}, [] { K::drawPushSwitchWithFrame(Rect(0, 0, 150, 60), K::topColor_(), K::topColor_pressed_(), K::lampColor_on_(), K::lampColor_off_(), true, true); }},
        {"button", {150, 60}, [] { K::drawButtonWithFrame(Rect(0, 0, 150, 60), K::topColor_(), K::topColor_pressed_(), K::topColor_selected_(), true, false); }},
        {"lamp", {100, 100}, [] { K::drawLampWithFrame(Rect(0, 0, 100, 100), 0.5); }},
        {"black key", {30, 100}, [] { K::drawKeyBlackWithFrame(Rect(0, 0, 30, 100), 4, true, true, true); }},
        {"white key", {40, 150}, [] { K::drawKeyWhiteWithFrame(Rect(0, 0, 40, 150), 4, false, true, false); }},
        {"control status", {90, 90}, [] { K::drawControlStatusWithFrame(Rect(0, 0, 90, 90), "CC:7", true, true); }},
        {"side-edge button", {60, 200}, [] { K::drawSideEdgeButtonWithFrame(Rect(0, 0, 60, 200), true); }},
        {"fader mark", {100, 100}, [] { K::drawArpPgSdMarkWithTopColor(K::topColor_(), K::topColor_selected_(), K::labelColor_(), K::labelColor_selected_(), true, "5"); }},
        {"step program fader", {32, 130}, [] { K::drawArpPgSliderWithBaseColor(K::baseColor_(), K::baseColor_disabled_(), K::topColor_(), K::topColor_selected_(), K::labelColor_(), K::labelColor_selected_(), K::lampColor_on_(), K::lampColor_off_(), K::markColor_(), K::markColor_disabled_(), 0.4, 2, false); }},
        {"step button", {60, 60}, [] { K::drawStepButtonWithFrame(Rect(0, 0, 60, 60), K::baseColor_(), K::baseColor_pressed_(), K::topColor_(), K::topColor_pressed_(), K::lampColor_on_(), K::lampColor_lighted_(), true, true, true, true); }},
        {"shaper", {340, 115}, [] { K::drawShaperWithFrame(Rect(0, 0, 340, 115), true, 0, 0.5, 1); }},
        {"int shaper", {340, 115}, [] { K::drawIntShaperWithFrame(Rect(0, 0, 340, 115), true, 0.2, 0.8, 0.1, 0.9); }},
        {"pressed plate", {60, 60}, [] { K::drawIconPressed(); }},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Platform::BitmapContext bitmap(c.size);
        c.draw();
        EXPECT_EQ(bitmap.context().gStateDepth(), 0);
        EXPECT_TRUE(bitmap.context().ctm().isIdentity());
        Rect const ink = StyleKitTesting::inkBounds(bitmap.makeImage());
        ASSERT_FALSE(ink.isNull());
        EXPECT_GT(ink.width() * ink.height(), 0.2 * c.size.width * c.size.height);
    }
}

TEST(StyleKitControlsTest, KnobIndicatorPointsFromLowerLeftToLowerRight)
{
    // Radius 30 lies on the indicator bar inside the top disc; the value ring shows between radius 40
    // and 45, the base's between 45 and 50.
    Image const zero = knob(0, false);
    expectColorAt(zero, onCircle(30, 135), K::markColor_());
    expectColorAt(zero, onCircle(30, 45), K::topColor_());
    expectColorAt(zero, onCircle(47.5, 270), K::baseColor_());
    expectColorAt(zero, onCircle(42.5, 150), K::baseColor_());

    Image const full = knob(1, false);
    expectColorAt(full, onCircle(30, 45), K::markColor_());
    expectColorAt(full, onCircle(30, 135), K::topColor_());
    for (double a : {140.0, 200.0, 270.0, 340.0, 400.0}) {
        expectColorAt(full, onCircle(42.5, a), K::markColor_());
        expectColorAt(full, onCircle(47.5, a), K::baseColor_());
    }
    // The notch at the bottom stays open.
    expectColorAt(full, onCircle(47.5, 90), Color::clearColor());
    expectColorAt(full, onCircle(42.5, 90), Color::clearColor());

    Image const half = knob(0.5, false);
    expectColorAt(half, onCircle(30, 270), K::markColor_());
    expectColorAt(half, onCircle(42.5, 260), K::markColor_());
    expectColorAt(half, onCircle(42.5, 280), K::baseColor_());
}

TEST(StyleKitControlsTest, BipolarKnobRingRunsFromTheTop)
{
    Image const centre = knob(0.5, true);
    for (double a : {200.0, 265.0, 275.0, 340.0})
        expectColorAt(centre, onCircle(42.5, a), K::baseColor_());

    Image const up = knob(0.75, true); // ring from 270 clockwise to 337.5
    expectColorAt(up, onCircle(42.5, 300), K::markColor_());
    expectColorAt(up, onCircle(42.5, 250), K::baseColor_());
    expectColorAt(up, onCircle(42.5, 350), K::baseColor_());

    Image const down = knob(0.25, true); // ring from 202.5 clockwise to 270
    expectColorAt(down, onCircle(42.5, 240), K::markColor_());
    expectColorAt(down, onCircle(42.5, 190), K::baseColor_());
    expectColorAt(down, onCircle(42.5, 290), K::baseColor_());
}

TEST(StyleKitControlsTest, DisabledKnobIsVeiledExceptTheNotch)
{
    Image const plain = knob(0.5, false);
    Image const disabled = knob(0.5, false, true);
    auto veiled = [&](Color const& c) {
        return Color(c.red() * (1 - 0.504), c.green() * (1 - 0.504), c.blue() * (1 - 0.504), 1);
    };
    expectColorAt(disabled, {50, 50}, veiled(plain.colorAt({50, 50})));
    expectColorAt(disabled, onCircle(47.5, 200), veiled(K::baseColor_()));
    // Below the bridge over the notch nothing is drawn.
    expectColorAt(disabled, {50, 95}, Color::clearColor());
}

// Values are drawn as computed, however far out of range: the value pie's arc then wraps round
// to at most a whole turn instead of stalling the drawing pass.
TEST(StyleKitControlsTest, KnobValuesFarOutOfRangeStillDraw)
{
    double const inf = std::numeric_limits<double>::infinity();
    for (double value : {-1e12, 1e12, -inf, inf, std::numeric_limits<double>::quiet_NaN()}) {
        for (bool bipolar : {false, true}) {
            SCOPED_TRACE(testing::Message() << value << " " << bipolar);
            Platform::BitmapContext bitmap(Size{100, 100});
            K::drawKnobWithFrame(Rect(0, 0, 100, 100), K::baseColor_(), K::topColor_(), K::markColor_(), value, false,
                                 bipolar);
            EXPECT_EQ(bitmap.context().gStateDepth(), 0);
            expectColorAt(bitmap.makeImage(), onCircle(47.5, 200), K::baseColor_());
        }
    }
}

TEST(StyleKitControlsTest, NegativeFrameDrawsAsItsStandardizedRectangle)
{
    auto draw = [](Rect const& frame) {
        return render(Size{120, 120}, [&] {
            K::drawKnobWithFrame(frame, K::baseColor_(), K::topColor_(), K::markColor_(), 0.3, false, false);
            K::drawIconHomeWithFrame(frame, Color::blackColor(), true);
        });
    };
    Image const a = draw(Rect(10, 10, 100, 100));
    Image const b = draw(Rect(110, 110, -100, -100));
    for (int y = 0; y < 120; y += 3)
        for (int x = 0; x < 120; x += 3)
            ASSERT_TRUE(near(a.pixel(x, y), b.pixel(x, y))) << x << "," << y;
}

TEST(StyleKitControlsTest, WideFrameStretchesTheCanvas)
{
    Image const image = render(Size{200, 100}, [] { K::drawLampWithFrame(Rect(0, 0, 200, 100), 1); });
    Rect const ink = StyleKitTesting::inkBounds(image);
    EXPECT_NEAR(ink.width(), 200, 1);
    EXPECT_NEAR(ink.height(), 100, 1);
    expectColorAt(image, {5, 50}, Color(1, 0.6, 0.1));
}

TEST(StyleKitControlsTest, LampColourFollowsValueAtItsCentre)
{
    struct Case {
        double value;
        Color centre;
    };
    // Red above 1 is handed over and shows as full red.
    Case const cases[] = {{0, Color(0.3, 0.2, 0)}, {0.5, Color(0.8, 0.4, 0.05)}, {1, Color(1, 0.6, 0.1)}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.value);
        Image const image = render(Size{100, 100}, [&] { K::drawLampSymbolWithValue(c.value); });
        expectColorAt(image, {50, 50}, c.centre);
        expectColorAt(image, {3, 3}, Color::clearColor());
    }
}

TEST(StyleKitControlsTest, SliderThumbAndBarFollowTheValue)
{
    auto slider = [](double value, bool bipolar) {
        return render(Size{50, 200}, [&] {
            K::drawSliderWithFrame(Rect(0, 0, 50, 200), K::baseColor_(), K::topColor_(), K::topFrameColor_(),
                                   K::guageTopColor_(), value, bipolar);
        });
    };
    // Value 1: thumb top edge at 3.2 (the thumb's fill centre at 6.4), the bar down to 198.
    Image const full = slider(1, false);
    expectColorAt(full, {25, 6.6}, K::topColor_());
    expectColorAt(full, {16.5, 6.6}, K::topFrameColor_());
    expectColorAt(full, {25, 150}, K::guageTopColor_());
    expectColorAt(full, {25, 193.5}, K::guageTopColor_());

    Image const empty = slider(0, false); // thumb at 190.4
    expectColorAt(empty, {25, 150}, K::gaugeBaseColor_());
    expectColorAt(empty, {25, 193.6}, K::topColor_());

    Image const low = slider(0.25, true); // thumb at 143.6, bar from the centre down to it
    expectColorAt(low, {25, 120}, K::guageTopColor_());
    expectColorAt(low, {25, 80}, K::gaugeBaseColor_());
    Image const centred = slider(0.5, true); // thumb top at 96.8 covers the 3.2-high bar
    expectColorAt(centred, {25, 100}, K::topColor_());
    expectColorAt(centred, {25, 110}, K::gaugeBaseColor_());
    expectColorAt(centred, {25, 90}, K::gaugeBaseColor_());
}

TEST(StyleKitControlsTest, SwitchLampAndButtonLayersByState)
{
    struct Case {
        bool selected, pressed;
        Color body, lamp, button;
    };
    Case const cases[] = {
        {false, false, K::topColor_(), K::lampColor_off_(), K::topColor_()},
        {true, false, K::topColor_(), K::lampColor_on_(), K::topColor_selected_()},
        {false, true, K::topColor_pressed_(), K::lampColor_off_(), K::topColor_pressed_()},
        {true, true, K::topColor_pressed_(), K::lampColor_on_(), K::topColor_selected_()},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected << c.pressed);
        Image const sw = render(Size{150, 60}, [&] {
            K::drawPushSwitchSymbolWithTopColor(K::topColor_(), K::topColor_pressed_(), K::lampColor_on_(),
                                                K::lampColor_off_(), c.selected, c.pressed);
        });
        expectColorAt(sw, {75, 21}, c.lamp);
        expectColorAt(sw, {30, 40}, c.body);
        Image const button = render(Size{150, 60}, [&] {
            K::drawButtonSymbolWithTopColor(K::topColor_(), K::topColor_pressed_(), K::topColor_selected_(),
                                            c.selected, c.pressed);
        });
        expectColorAt(button, {75, 30}, c.button);
        expectColorAt(button, {3, 30}, Color::clearColor());
    }
}

TEST(StyleKitControlsTest, PianoKeysPressedColoursAndHeldDot)
{
    Rect const frame(0, 20, 40, 150);
    auto white = [&](bool pressed, bool held, bool low) {
        return render(Size{40, 170}, [&] { K::drawKeyWhiteWithFrame(frame, 5, pressed, held, low); });
    };
    auto black = [&](bool pressed) {
        return render(Size{40, 170}, [&] { K::drawKeyBlackWithFrame(frame, 5, pressed, false, false); });
    };
    expectColorAt(white(false, false, false), {20, 80}, Color::whiteColor());
    expectColorAt(white(true, false, false), {20, 80}, Color::withWhite(0.8));
    expectColorAt(black(false), {20, 80}, Color::withWhite(0.109));
    expectColorAt(black(true), {20, 80}, Color::withWhite(0.3));
    // Only the key's inner 38 points are painted; pressed, it reaches 13 points above the frame.
    expectColorAt(white(false, false, false), {0.5, 80}, Color::clearColor());
    expectColorAt(white(true, false, false), {20, 10}, Color::withWhite(0.8));
    expectColorAt(white(false, false, false), {20, 10}, Color::clearColor());

    // Pressed and held: the pressed colour with the dot 28 points above the bottom (15 when low).
    Color const dot(1, 0.711, 0);
    Image const held = white(true, true, false);
    expectColorAt(held, {20, 20 + 150 - 28 + 5}, dot);
    expectColorAt(held, {20, 20 + 150 - 15 + 5}, Color::withWhite(0.8));
    Image const low = white(false, true, true);
    expectColorAt(low, {20, 20 + 150 - 15 + 5}, dot);
    expectColorAt(low, {20, 20 + 150 - 28 + 5}, Color::whiteColor());
}

TEST(StyleKitControlsTest, ControlStatusLayers)
{
    Rect const frame(0, 0, 90, 60);
    Color const ring(1, 0.178, 0, 0.354);
    Image const idle = render(Size{90, 60}, [&] { K::drawControlStatusWithFrame(frame, "", false, false); });
    // The stroke alone just outside the rounded rectangle, its translucent fill inside.
    expectColorAt(idle, {2, 30}, ring);
    // Faint colours lose precision in premultiplied pixels.
    expectColorAt(idle, {45, 30}, ring.withAlphaComponent(0.1), 0.03);

    Image const selected = render(Size{90, 60}, [&] { K::drawControlStatusWithFrame(frame, "", true, false); });
    expectColorAt(selected, {2, 30}, Color(1, 0.72, 0, 0.354));

    // With a title the near-white plate lies over the rings, the text in black on it.
    Image const titled = render(Size{90, 60}, [&] { K::drawControlStatusWithFrame(frame, "CC:7", true, true); });
    Color const plate = titled.colorAt({10, 30});
    EXPECT_GT(plate.alpha(), 0.8);
    EXPECT_GT(plate.green(), 0.8);
    int dark = 0;
    for (int x = 20; x < 70; ++x)
        for (int y = 20; y < 40; ++y)
            if (titled.pixel(x, y).red() < 0.4 && titled.pixel(x, y).alpha() > 0.8)
                ++dark;
    EXPECT_GT(dark, 5);
}

TEST(StyleKitControlsTest, StepProgramFaderLightsSegmentsAndMarksBySwitchPosition)
{
    auto fader = [](double value, double switchPos, bool disabled) {
        return render(Size{32, 130}, [&] {
            K::drawArpPgSliderWithBaseColor(K::baseColor_(), K::baseColor_disabled_(), K::topColor_(),
                                            K::topColor_selected_(), K::labelColor_(), K::labelColor_selected_(),
                                            K::lampColor_on_(), K::lampColor_off_(), K::markColor_(),
                                            K::markColor_disabled_(), value, switchPos, disabled);
        });
    };
    // Segment centres (x 16) and the left rim of each mark's disc (x 11.5, mark centre height).
    double const segments[] = {113.21, 94.62, 74.2, 55.77, 19.06};
    double const marks[] = {2.87, 22.12, 40.11, 59.11, 78.14, 97, 116};

    Image const top = fader(0.5, 5, false);
    for (int i = 0; i < 4; ++i)
        expectColorAt(top, {16, segments[i]}, K::baseColor_());
    expectColorAt(top, {16, segments[4]}, K::lampColor_on_());
    for (int i = 0; i < 7; ++i)
        expectColorAt(top, {11.5, marks[i] + 6}, i < 2 ? K::topColor_selected_() : K::topColor_());

    Image const two = fader(0.5, 2, false);
    for (int i = 0; i < 5; ++i)
        expectColorAt(two, {16, segments[i]}, i < 2 ? K::lampColor_on_() : K::baseColor_());
    for (int i = 0; i < 7; ++i)
        expectColorAt(two, {11.5, marks[i] + 6}, i >= 4 ? K::topColor_selected_() : K::topColor_());

    // Thumb: around the bottom mark at value 0, at the top at value 1; grey and pale when disabled.
    expectColorAt(fader(0, 0, false), {3, 122}, K::markColor_());
    expectColorAt(fader(1, 0, false), {3, 9}, K::markColor_());
    Image const disabled = fader(0, 1, true);
    expectColorAt(disabled, {3, 122}, K::markColor_disabled_());
    expectColorAt(disabled, {16, segments[0]}, K::lampColor_off_());
    expectColorAt(disabled, {16, segments[1]}, K::baseColor_disabled_());
}

TEST(StyleKitControlsTest, StepButtonLayersByState)
{
    struct Case {
        bool selected, pressed, lighted, disabled;
        Color centre;
    };
    auto veiled = [](Color const& c) { return Color(c.red() * 0.496, c.green() * 0.496, c.blue() * 0.496, 1); };
    Case const cases[] = {
        {false, false, false, false, K::topColor_()},
        {false, true, false, false, K::topColor_pressed_()},
        {true, false, false, false, K::lampColor_on_()},
        {true, false, true, false, K::lampColor_lighted_()},
        {false, false, false, true, veiled(K::topColor_())},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.selected << c.pressed << c.lighted << c.disabled);
        Image const image = render(Size{60, 60}, [&] {
            K::drawStepButtonWithFrame(Rect(0, 0, 60, 60), K::baseColor_(), K::baseColor_pressed_(), K::topColor_(),
                                       K::topColor_pressed_(), K::lampColor_on_(), K::lampColor_lighted_(),
                                       c.selected, c.pressed, c.lighted, c.disabled);
        });
        expectColorAt(image, {30, 30}, c.centre);
        if (!c.disabled)
            expectColorAt(image, {0.5, 0.5}, c.pressed ? K::baseColor_pressed_() : K::baseColor_());
    }
}

TEST(StyleKitControlsTest, ShaperPointsSitOnTheirRows)
{
    Image const image = render(Size{340, 115}, [] { K::drawShaperSymbolWithDisabled(false, 0, 0.5, 1); });
    // Discs with corners at (0, 105), (165, 52.5) and (330, 0).
    expectColorAt(image, {5, 110}, Color::blackColor());
    expectColorAt(image, {170, 57.5}, Color::blackColor());
    expectColorAt(image, {335, 5}, Color::blackColor());
    expectColorAt(image, {250, 90}, Color::clearColor());

    Image const disabled = render(Size{340, 115}, [] { K::drawShaperSymbolWithDisabled(true, 0, 0.5, 1); });
    expectColorAt(disabled, {250, 90}, Color(0.667, 0.667, 0.667, 0.852));

    Image const integer = render(Size{340, 115}, [] { K::drawIntShaperSymbolWithDisabled(false, 0.5, 0.5, 0.25, 0.75); });
    expectColorAt(integer, {250, 40}, Color(0.788, 0.973, 1));  // inside the range band
    expectColorAt(integer, {250, 100}, Color(0.907, 0.907, 0.907));
}

TEST(StyleKitControlsTest, SideEdgeTabDarkensWhenPressedUnderItsGrip)
{
    for (bool pressed : {false, true}) {
        SCOPED_TRACE(pressed);
        Image const image = render(Size{60, 200}, [&] { K::drawSideEdgeButtonWithFrame(Rect(0, 0, 60, 200), pressed); });
        Color const tab = pressed ? Color::darkGrayColor() : Color::grayColor();
        expectColorAt(image, {10, 100}, tab);
        expectColorAt(image, {59, 100}, tab);
        expectColorAt(image, {30, 100}, Color::blackColor());
        // The right side curves in toward the corners.
        expectColorAt(image, {58, 5}, Color::clearColor());
        expectColorAt(image, {58, 195}, Color::clearColor());
    }
}

TEST(StyleKitControlsTest, IntegerShaperRangeLabelsStayAboveTheDisabledCover)
{
    // Output labels lie under the grey cover; the range labels, drawn after it, keep their blue.
    Image const image = render(Size{340, 115}, [] { K::drawIntShaperSymbolWithDisabled(true, 0.5, 0.5, 0.2, 0.8); });
    auto bluePixels = [&](Rect const& box) {
        int count = 0;
        for (int y = int(box.minY()); y < int(box.maxY()); ++y)
            for (int x = int(box.minX()); x < int(box.maxX()); ++x)
                if (image.pixel(x, y).blue() > 0.8 && image.pixel(x, y).red() < 0.6)
                    ++count;
        return count;
    };
    double const ymax = (1 - 0.8) * 105 + 5, ymin = (1 - 0.2) * 105 + 5, ylo = 0.5 * 105;
    EXPECT_GT(bluePixels(Rect(190, ymax - 5, 31, 12)), 10);
    EXPECT_GT(bluePixels(Rect(118, ymin - 5, 31, 12)), 10);
    EXPECT_EQ(bluePixels(Rect(15, ylo, 31, 12)), 0);
}
