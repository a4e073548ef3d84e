#include "ThemeTesting.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/categories/UIColor_Lumora.h"
#include "controls/painter/Lumora_Painter.h"
#include "drawing/Lumora_StyleKit.h"
#include "platform/graphics/GraphicsContext.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ThemeTesting;
using K = Lumora_StyleKit;
using L = UIColor_Lumora;

namespace {

class DefaultTheme : public ::testing::Test {
protected:
    void SetUp() override { Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>()); }
    Lumora_Painter& painter() { return *Lumora_Painter::sharedInstance(); }
};

using ColorRequest = std::optional<Color> (Lumora_Painter::*)();

// The kit's icons in the request's shape; the MIDI icon is the one with a selection of its own,
// and the request shows it unselected.
struct KitIcons : Lumora_StyleKit {
    static void drawIconMIDIWithFrame(Rect const& frame, Color const& foreground, bool pressed)
    {
        Lumora_StyleKit::drawIconMIDIWithFrame(frame, foreground, false, pressed);
    }
};

} // namespace

TEST_F(DefaultTheme, AnswersEveryColourImageAndTheMetric)
{
    struct Case {
        char const* name;
        ColorRequest request;
        Color expected;
    };
    Color const grey = Color::lightGrayColor();
    Case const cases[] = {
        {"containerBackgroundColor", &Lumora_Painter::containerBackgroundColor, grey},
        {"labelTextColor", &Lumora_Painter::labelTextColor, Color::blackColor()},
        {"headerColor", &Lumora_Painter::headerColor, L::lumoraUltraLightGrayColor()},
        {"soundPresetButtonBackgroundColor", &Lumora_Painter::soundPresetButtonBackgroundColor, grey},
        {"soundPresetButtonForegroundColor", &Lumora_Painter::soundPresetButtonForegroundColor, Color::blackColor()},
        {"editorContainerBackgroundColor", &Lumora_Painter::editorContainerBackgroundColor, grey},
        {"keyboardBackgroundColor", &Lumora_Painter::keyboardBackgroundColor, Color::blackColor()},
        {"popoverBackgroundColor", &Lumora_Painter::popoverBackgroundColor, grey},
        {"popoverHeaderColor", &Lumora_Painter::popoverHeaderColor, Color(0.9019608, 0.9019608, 0.9019608, 1)},
        {"commonParmBackgroundColor", &Lumora_Painter::commonParmBackgroundColor, Color::clearColor()},
        {"commonParmLabelColor", &Lumora_Painter::commonParmLabelColor, Color::blackColor()},
        {"commonParmButtonTextColor", &Lumora_Painter::commonParmButtonTextColor, Color::blackColor()},
        {"arpeggiatorContainerBackgroundColor", &Lumora_Painter::arpeggiatorContainerBackgroundColor, grey},
        {"arpeggiatorContainerHeaderColor", &Lumora_Painter::arpeggiatorContainerHeaderColor, grey},
        {"arpeggiatorNumericIndicatorColor", &Lumora_Painter::arpeggiatorNumericIndicatorColor, Color::blackColor()},
        {"tintColor", &Lumora_Painter::tintColor, L::lumoraBlueColor()},
    };
    for (Case const& c : cases)
        EXPECT_EQ((painter().*c.request)(), c.expected) << c.name;
    EXPECT_NEAR(Color::lightGrayColor().red(), 2.0 / 3.0, 1e-12);
    EXPECT_EQ(painter().keyboardScrollBarHeight(), 15);
    EXPECT_TRUE(painter().headerTitleImage().isNull());
    EXPECT_TRUE(painter().commonParmBackgroundImage().isNull());
    EXPECT_TRUE(painter().arpeggiatorBackgroundImage().isNull());
}

TEST_F(DefaultTheme, CommandButtonColoursByStateAndAltName)
{
    constexpr uint64_t H = 1, D = 2, S = 4;
    struct Case {
        uint64_t state;
        std::optional<std::string> name;
        Color foreground, background;
    };
    Color const clear = Color::clearColor();
    Case const cases[] = {
        {0, "Close", L::lumoraDarkBlueColor(), clear},
        {H, "Close", L::lumoraUltraLightGrayColor(), clear},
        {S, "Close", L::lumoraRedColor(), L::lumoraLightGrayColor()},
        {S | H, "Close", L::lumoraOrangeColor(), L::lumoraLightGrayColor()},
        {S, "Alt", L::lumoraDarkBlueColor(), L::lumoraLightGrayColor()},
        {S | H, "Alt", L::lumoraUltraLightGrayColor(), L::lumoraLightGrayColor()},
        {0, "Alt", L::lumoraDarkBlueColor(), clear},
        {D, "Close", L::lumoraLightGrayColor(), clear},
        {D | H, "Alt", L::lumoraLightGrayColor(), clear},
        {D | S, "Close", L::lumoraUltraLightGrayColor(), clear},
        {D | S | H, "Alt", L::lumoraUltraLightGrayColor(), clear},
        // No image name counts as not "Alt"; neither does a name that merely contains it.
        {S, std::nullopt, L::lumoraRedColor(), L::lumoraLightGrayColor()},
        {S, "Alt2", L::lumoraRedColor(), L::lumoraLightGrayColor()},
    };
    Lumora_CmndButton button;
    for (Case const& c : cases) {
        button.setImageName(c.name);
        SCOPED_TRACE(testing::Message() << "state " << c.state << " name " << c.name.value_or("(none)"));
        EXPECT_EQ(painter().commandButton_foregroundColorWithState(&button, c.state), c.foreground);
        EXPECT_EQ(painter().commandButton_backgroundColorWithState(&button, c.state), c.background);
    }
    EXPECT_EQ(painter().commandButton_foregroundColorWithState(nullptr, S), L::lumoraRedColor());
}

// Each drawing request draws exactly what the kit routine it stands for draws with the palette
// colours of the default look.
TEST_F(DefaultTheme, DrawingsAreTheKitsWithThePaletteColours)
{
    struct Case {
        std::string name;
        Size canvas;
        std::function<void(Lumora_Painter&)> request;
        std::function<void()> kit;
    };
    Rect const f(5, 3, 90, 80);
    Color const fg = Color(0.2, 0.4, 0.9, 1);
    std::vector<Case> cases = {
        {"knob", {100, 90}, [&](auto& p) { p.drawKnobWithFrame(f, 0.3f, false, true, 7); },
         [&] { K::drawKnobWithFrame(f, K::baseColor_(), K::topColor_(), K::markColor_(), 0.3f, false, true); }},
        {"knob disabled", {100, 90}, [&](auto& p) { p.drawKnobWithFrame(f, 0.8f, true, false, 0); },
         [&] { K::drawKnobWithFrame(f, K::baseColor_(), K::topColor_(), K::markColor_(), 0.8f, true, false); }},
        {"slider", {100, 90}, [&](auto& p) { p.drawSliderWithFrame(f, 0.7f, false, false, 2); },
         [&] {
             K::drawSliderWithFrame(f, K::baseColor_(), K::topColor_(), K::topFrameColor_(), K::guageTopColor_(),
                                    0.7f, false);
         }},
        {"slider disabled looks enabled", {100, 90}, [&](auto& p) { p.drawSliderWithFrame(f, 0.2f, true, true, 0); },
         [&] {
             K::drawSliderWithFrame(f, K::baseColor_(), K::topColor_(), K::topFrameColor_(), K::guageTopColor_(),
                                    0.2f, true);
         }},
        {"switch", {100, 90}, [&](auto& p) { p.drawSwitchWithFrame(f, true, true, true, 3); },
         [&] {
             K::drawPushSwitchWithFrame(f, K::topColor_(), K::topColor_pressed_(), K::lampColor_on_(),
                                        K::lampColor_off_(), true, true);
         }},
        {"lamp", {100, 90}, [&](auto& p) { p.drawLampWithFrame(f, 0.6f, 4); }, [&] { K::drawLampWithFrame(f, 0.6f); }},
        {"button", {100, 90}, [&](auto& p) { p.drawButtonWithFrame(f, true, false, true, 1); },
         [&] {
             K::drawButtonWithFrame(f, K::topColor_(), K::topColor_pressed_(), K::topColor_selected_(), true, false);
         }},
        {"side edge", {100, 90}, [&](auto& p) { p.drawSideEdgeButtonWithFrame(f, true); },
         [&] { K::drawSideEdgeButtonWithFrame(f, true); }},
        {"step button", {100, 90}, [&](auto& p) { p.drawStepButtonWithFrame(f, true, false, true, false, 0); },
         [&] {
             K::drawStepButtonWithFrame(f, K::baseColor_(), K::baseColor_pressed_(), K::topColor_(),
                                        K::topColor_pressed_(), K::lampColor_on_(), K::lampColor_lighted_(), true,
                                        false, true, false);
         }},
        {"step program fader", {40, 140}, [&](auto& p) { p.drawArpPgSliderWithValue(0.4f, 3, false); },
         [&] {
             K::drawArpPgSliderWithBaseColor(K::baseColor_(), K::baseColor_disabled_(), K::topColor_(),
                                             K::topColor_selected_(), K::labelColor_(), K::labelColor_selected_(),
                                             K::lampColor_on_(), K::lampColor_off_(), K::markColor_(),
                                             K::markColor_disabled_(), 0.4f, 3, false);
         }},
        {"shaper", {100, 90}, [&](auto& p) { p.drawShaperWithFrame(f, false, 0.1, 0.6, 0.9); },
         [&] { K::drawShaperWithFrame(f, false, 0.1, 0.6, 0.9); }},
        {"int shaper", {100, 90}, [&](auto& p) { p.drawIntShaperWithFrame(f, true, 0.2, 0.8, 0.1, 0.7); },
         [&] { K::drawIntShaperWithFrame(f, true, 0.2, 0.8, 0.1, 0.7); }},
        {"Alt icon", {100, 90}, [&](auto& p) { p.drawIconAltWithFrame(f, fg, true, false); },
         [&] { K::drawIconAltWithFrame(f, fg, true, false); }},
    };
#define LUMORA_ICON_CASE(name)                                                                    \
    cases.push_back({"icon " #name, {100, 90}, [&](auto& p) { p.drawIcon##name##WithFrame(f, fg, true); }, \
                     [&] { KitIcons::drawIcon##name##WithFrame(f, fg, true); }});
    LUMORA_PAINTER_COMMAND_ICONS(LUMORA_ICON_CASE)
#undef LUMORA_ICON_CASE
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Image const viaTheme = render(c.canvas, [&] { c.request(painter()); });
        Image const viaKit = render(c.canvas, c.kit);
        EXPECT_TRUE(samePicture(viaTheme, viaKit));
    }
}

TEST_F(DefaultTheme, MidiIconIsDrawnUnselected)
{
    Rect const f(0, 0, 60, 60);
    Color const fg = Color::blackColor();
    Image const viaTheme = render({60, 60}, [&] { painter().drawIconMIDIWithFrame(f, fg, false); });
    Image const unselected = render({60, 60}, [&] { K::drawIconMIDIWithFrame(f, fg, false, false); });
    Image const selected = render({60, 60}, [&] { K::drawIconMIDIWithFrame(f, fg, true, false); });
    EXPECT_TRUE(samePicture(viaTheme, unselected));
    EXPECT_TRUE(differ(viaTheme, selected));
}

TEST_F(DefaultTheme, KnobAndButtonPixels)
{
    // Knob canvas 100 x 100 drawn into a frame of the same size: at value 0 the indicator points
    // to the lower left, inside the top disc.
    Rect const square(0, 0, 100, 100);
    Image const zero = render({100, 100}, [&] { painter().drawKnobWithFrame(square, 0, false, false, 0); });
    expectColorAt(zero, onCircle({50, 50}, 30, 135), K::markColor_());
    expectColorAt(zero, onCircle({50, 50}, 30, 45), K::topColor_());
    expectColorAt(zero, onCircle({50, 50}, 47.5, 270), K::baseColor_());
    Image const full = render({100, 100}, [&] { painter().drawKnobWithFrame(square, 1, false, false, 0); });
    expectColorAt(full, onCircle({50, 50}, 30, 45), K::markColor_());
    expectColorAt(full, onCircle({50, 50}, 42.5, 270), K::markColor_());

    Rect const wide(0, 0, 150, 60);
    Image const plain = render({150, 60}, [&] { painter().drawButtonWithFrame(wide, false, false, false, 0); });
    Image const selected = render({150, 60}, [&] { painter().drawButtonWithFrame(wide, true, false, false, 0); });
    Image const pressed = render({150, 60}, [&] { painter().drawButtonWithFrame(wide, false, true, false, 0); });
    expectColorAt(plain, {75, 30}, K::topColor_());
    expectColorAt(selected, {75, 30}, K::topColor_selected_());
    expectColorAt(pressed, {75, 30}, K::topColor_pressed_());
    expectColorAt(plain, {3, 30}, Color::clearColor());
}

TEST_F(DefaultTheme, SwitchSelectorLampByPosition)
{
    struct Case {
        int32_t value;
        Color lamp;
    };
    Case const cases[] = {
        {0, K::lampColor_off_()}, {1, Color(1, 0.8, 0)}, {2, Color(1, 0, 0)}, {5, Color(1, 0, 0)}, {-1, Color(1, 0, 0)},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.value);
        Image const image = render({150, 60}, [&] {
            painter().drawSwitchSelectorWithFrame(Rect(0, 0, 150, 60), c.value, false, false, 0);
        });
        expectColorAt(image, {75, 21}, c.lamp);
        expectColorAt(image, {30, 40}, K::topColor_());
    }
}

TEST_F(DefaultTheme, PianoKeysTakeRadiusAndHeldDotFromTheirShape)
{
    struct Case {
        Rect frame;
        bool low;
    };
    // 40 / 24 is short; 48 / 24 is exactly 2 and is not; a zero-wide key keeps its dot high.
    Case const cases[] = {{Rect(2, 1, 24, 40), true}, {Rect(2, 1, 24, 48), false}, {Rect(10, 1, 0, 40), false}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.frame.size.height);
        double const radius = c.frame.size.width / 6;
        for (bool black : {false, true}) {
            Image const viaTheme = render({30, 50}, [&] {
                if (black)
                    painter().drawKeyBlackWithFrame(c.frame, true, true);
                else
                    painter().drawKeyWhiteWithFrame(c.frame, true, true);
            });
            Image const viaKit = render({30, 50}, [&] {
                if (black)
                    K::drawKeyBlackWithFrame(c.frame, radius, true, true, c.low);
                else
                    K::drawKeyWhiteWithFrame(c.frame, radius, true, true, c.low);
            });
            Image const otherDot = render({30, 50}, [&] {
                if (black)
                    K::drawKeyBlackWithFrame(c.frame, radius, true, true, !c.low);
                else
                    K::drawKeyWhiteWithFrame(c.frame, radius, true, true, !c.low);
            });
            for (int y = 0; y < viaTheme.pixelHeight(); ++y)
                for (int x = 0; x < viaTheme.pixelWidth(); ++x)
                    ASSERT_EQ(viaTheme.pixel(x, y), viaKit.pixel(x, y)) << x << "," << y;
            if (c.frame.size.width > 0) {
                EXPECT_TRUE(differ(viaTheme, otherDot));
            }
        }
    }
}

TEST_F(DefaultTheme, ControlStatusTitleNamesTheMappedMessage)
{
    struct Case {
        bool detail;
        int32_t channel, status, number;
        char const* title;
    };
    Case const cases[] = {
        {false, 0, 0, 0, ""},
        {false, 3, 0xB3, 74, ""},
        {true, 3, 0xB3, 74, "CC:74"},
        {true, 0, 0xB0, 0, "CC:0"},
        {true, 0, 0xD0, 0, "After\nTouch"},
        {true, 9, 0xD9, 12, "After\nTouch"},
        {true, 0, 0x90, 60, "?"},
        {true, 0, 0xE0, 1, "?"},
    };
    Rect const f(4, 4, 80, 50);
    for (Case const& c : cases) {
        for (bool selected : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.title << " selected " << selected);
            Image const viaTheme = render({90, 60}, [&] {
                painter().drawControlStatusWithFrame(f, c.detail, c.channel, c.status, c.number, selected, false);
            });
            Image const viaKit = render({90, 60}, [&] { K::drawControlStatusWithFrame(f, c.title, selected, false); });
            EXPECT_TRUE(samePicture(viaTheme, viaKit));
        }
    }
    // The titles really show: a CC title is not the empty one, and the channel does not matter.
    Image const cc = render({90, 60}, [&] { painter().drawControlStatusWithFrame(f, true, 3, 0xB3, 74, true, false); });
    Image const none = render({90, 60}, [&] { painter().drawControlStatusWithFrame(f, false, 0, 0, 0, true, false); });
    Image const otherChannel =
        render({90, 60}, [&] { painter().drawControlStatusWithFrame(f, true, 11, 0xBB, 74, true, false); });
    EXPECT_TRUE(differ(cc, none));
    EXPECT_TRUE(samePicture(cc, otherChannel));
}

TEST_F(DefaultTheme, ImagePlaceholderShowsFlagsAsGreyAndNumbersAtTheOrigin)
{
    struct Case {
        bool pressed, disabled;
        double grey;
    };
    Case const cases[] = {{false, false, 0.8}, {true, false, 0.6}, {false, true, 0.4}, {true, true, 0.2}};
    Rect const frame(40, 30, 50, 40);
    for (Case const& c : cases) {
        SCOPED_TRACE(c.grey);
        for (bool selected : {false, true}) {
            Image const image = render({100, 80}, [&] {
                painter().drawImageWithFrame(frame, 3, selected, c.pressed, c.disabled, 0, 1);
            });
            expectColorAt(image, {65, 50}, Color(c.grey, c.grey, c.grey, 1));
            expectColorAt(image, {38, 50}, Color::clearColor());
        }
    }
    // The text "img:3:0,1" lies at the top-left corner of the coordinates, not of the frame.
    Image const image =
        render({100, 80}, [&] { painter().drawImageWithFrame(frame, 3, false, false, false, 0, 1); });
    int dark = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 40; ++x)
            if (image.pixel(x, y).alpha() > 0.5 && image.pixel(x, y).red() < 0.3)
                ++dark;
    EXPECT_GT(dark, 10);
    Image const otherNumbers =
        render({100, 80}, [&] { painter().drawImageWithFrame(frame, 12, false, false, false, 7, 1); });
    EXPECT_TRUE(differ(image, otherNumbers));
}

TEST_F(DefaultTheme, DrawingWithoutAContextDoesNothing)
{
    ASSERT_EQ(Platform::GraphicsContext::current(), nullptr);
    painter().drawImageWithFrame(Rect(0, 0, 10, 10), 1, false, false, false, 0, 0);
    painter().drawKnobWithFrame(Rect(0, 0, 10, 10), 0.5f, false, false, 0);
    painter().drawKeyWhiteWithFrame(Rect(0, 0, 0, 0), false, true);
}
