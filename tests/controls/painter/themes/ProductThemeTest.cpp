#include "ThemeTesting.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/categories/UIColor_Lumora.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/painter/themes/Painter.h"
#include "drawing/StyleKit.h"
#include "model/core/ScreenServices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace ThemeTesting;
using L = UIColor_Lumora;

namespace {

using ColorRequest = std::optional<Color> (Lumora_Painter::*)();

Color const darkRed(0.68359375, 0.09375, 0.11328125, 1);
Color const commonText(0.85, 0.7, 0.7, 1);

class ProductTheme : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("CORVANE_FRAMEWORK_BUNDLE");
        Lumora_Painter::setImplimatation(std::make_shared<Painter>(nullptr));
    }
    void TearDown() override
    {
        unsetenv("CORVANE_FRAMEWORK_BUNDLE");
        Lumora::ScreenServices::setThemeInstaller({});
        Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>());
    }
    Lumora_Painter& painter() { return *Lumora_Painter::sharedInstance(); }
};

} // namespace

TEST_F(ProductTheme, OverriddenDerivedAndInheritedColours)
{
    struct Case {
        char const* name;
        ColorRequest request;
        Color product, standard;
    };
    Color const grey = Color::lightGrayColor();
    Color const black = Color::blackColor();
    Color const white = Color::whiteColor();
    Case const cases[] = {
        // Overridden.
        {"containerBackgroundColor", &Lumora_Painter::containerBackgroundColor, darkRed, grey},
        {"labelTextColor", &Lumora_Painter::labelTextColor, white, black},
        {"headerColor", &Lumora_Painter::headerColor, black, L::lumoraUltraLightGrayColor()},
        {"soundPresetButtonBackgroundColor", &Lumora_Painter::soundPresetButtonBackgroundColor,
         Color(0.36, 0.36, 0.38, 1), grey},
        {"commonParmBackgroundColor", &Lumora_Painter::commonParmBackgroundColor, Color(0.1921569, 0, 0.0039216, 1),
         Color::clearColor()},
        {"commonParmLabelColor", &Lumora_Painter::commonParmLabelColor, commonText, black},
        {"commonParmButtonTextColor", &Lumora_Painter::commonParmButtonTextColor, commonText, black},
        {"arpeggiatorContainerHeaderColor", &Lumora_Painter::arpeggiatorContainerHeaderColor,
         Color(0.515625, 0.5, 0.5, 1), grey},
        // Derived by the default theme from this theme's label and container colours.
        {"soundPresetButtonForegroundColor", &Lumora_Painter::soundPresetButtonForegroundColor, white, black},
        {"arpeggiatorNumericIndicatorColor", &Lumora_Painter::arpeggiatorNumericIndicatorColor, white, black},
        {"editorContainerBackgroundColor", &Lumora_Painter::editorContainerBackgroundColor, darkRed, grey},
        {"popoverBackgroundColor", &Lumora_Painter::popoverBackgroundColor, darkRed, grey},
        {"arpeggiatorContainerBackgroundColor", &Lumora_Painter::arpeggiatorContainerBackgroundColor, darkRed, grey},
        // Inherited unchanged.
        {"keyboardBackgroundColor", &Lumora_Painter::keyboardBackgroundColor, black, black},
        {"popoverHeaderColor", &Lumora_Painter::popoverHeaderColor, Color(0.9019608, 0.9019608, 0.9019608, 1),
         Color(0.9019608, 0.9019608, 0.9019608, 1)},
        {"tintColor", &Lumora_Painter::tintColor, L::lumoraBlueColor(), L::lumoraBlueColor()},
    };
    for (Case const& c : cases)
        EXPECT_EQ((painter().*c.request)(), c.product) << c.name;
    EXPECT_EQ(painter().keyboardScrollBarHeight(), 15);

    // Back to the default theme: every answer returns to the plain look.
    Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>());
    for (Case const& c : cases)
        EXPECT_EQ((painter().*c.request)(), c.standard) << c.name;
}

TEST_F(ProductTheme, ImagesComeFromTheFrameworkBundle)
{
    // The source tree's framework bundle carries the three pictures.
    struct Case {
        char const* name;
        Platform::Image (Lumora_Painter::*request)();
    };
    Case const cases[] = {
        {"headerTitle", &Lumora_Painter::headerTitleImage},
        {"commonParam_background", &Lumora_Painter::commonParmBackgroundImage},
        {"arpeggiator_background", &Lumora_Painter::arpeggiatorBackgroundImage},
    };
    for (Case const& c : cases) {
        Image const image = (painter().*c.request)();
        ASSERT_FALSE(image.isNull()) << c.name;
        EXPECT_GT(image.size().width, 0) << c.name;
    }
    // The header title is white letters on a transparent ground.
    Image const title = painter().headerTitleImage();
    EXPECT_EQ(title.colorAt({2, 2}).alpha(), 0);

    // A bundle without them, or no bundle folder at all: no image, and nothing fails.
    std::filesystem::path const empty = std::filesystem::temp_directory_path() / "corvane-themes-empty-bundle";
    std::filesystem::create_directories(empty);
    for (std::string const& folder : {empty.string(), (empty / "missing").string()}) {
        setenv("CORVANE_FRAMEWORK_BUNDLE", folder.c_str(), 1);
        for (Case const& c : cases)
            EXPECT_TRUE((painter().*c.request)().isNull()) << c.name << " in " << folder;
    }
    // A file of the right name that is no picture is no image either.
    std::filesystem::path const broken = empty / "headerTitle.png";
    { std::FILE* f = std::fopen(broken.c_str(), "w"); ASSERT_NE(f, nullptr); std::fputs("not a png", f); std::fclose(f); }
    setenv("CORVANE_FRAMEWORK_BUNDLE", empty.c_str(), 1);
    EXPECT_TRUE(painter().headerTitleImage().isNull());
    std::filesystem::remove_all(empty);
}

TEST_F(ProductTheme, CommandButtonColoursByVariation)
{
    constexpr uint64_t H = 1, D = 2, S = 4;
    struct Case {
        uint64_t state;
        char const* name;
        Color foreground;
    };
    Case const cases[] = {
        {0, "Close", Color::lightGrayColor()},
        {H, "Close", Color::darkGrayColor()},
        {S, "Close", L::lumoraRedColor()},
        {S | H, "Close", L::lumoraOrangeColor()},
        {S, "Alt", Color::lightGrayColor()},
        {S | H, "Alt", Color::darkGrayColor()},
        {D, "Close", L::lumoraDarkGrayColor()},
        {D | S, "Alt", L::lumoraLightGrayColor()},
        {D | S | H, "Close", L::lumoraLightGrayColor()},
    };
    Lumora_CmndButton button;
    auto standard = std::make_shared<Lumora_PainterImplementation>();
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << " " << c.name);
        button.setImageName(std::string(c.name));
        button.setVariation(1);
        EXPECT_EQ(painter().commandButton_foregroundColorWithState(&button, c.state), c.foreground);
        // The background stays the default theme's.
        EXPECT_EQ(painter().commandButton_backgroundColorWithState(&button, c.state),
                  standard->commandButton_backgroundColorWithState(&button, c.state));
        // Variation 0 keeps the default look.
        button.setVariation(0);
        EXPECT_EQ(painter().commandButton_foregroundColorWithState(&button, c.state),
                  standard->commandButton_foregroundColorWithState(&button, c.state));
    }
}

// The overridden drawings are the product kit's; everything else is drawn as the default theme
// draws it.
TEST_F(ProductTheme, DrawingsOfTheProductKitAndInheritedOnes)
{
    Rect const f(4, 2, 150, 60);
    struct Case {
        std::string name;
        std::function<void(Lumora_Painter&)> request;
        std::function<void()> expected;
    };
    auto standard = std::make_shared<Lumora_PainterImplementation>();
    Color const fg(0.3, 0.3, 0.9);
    std::vector<Case> const cases = {
        {"knob", [&](auto& p) { p.drawKnobWithFrame(f, 0.4f, false, true, 1); },
         [&] { StyleKit::drawKnobWithFrame(f, 0.4f, false, true, 1); }},
        {"lamp", [&](auto& p) { p.drawLampWithFrame(f, 0.7f, 3); }, [&] { StyleKit::drawLampWithFrame(f, 0.7f); }},
        {"button", [&](auto& p) { p.drawButtonWithFrame(f, true, true, true, 2); },
         [&] { StyleKit::drawDefaultButtonWithFrame(f, true, true); }},
        {"switch", [&](auto& p) { p.drawSwitchWithFrame(f, true, false, true, 2); },
         [&] { StyleKit::drawLedButtonWithFrame(f, true, false); }},
        {"selector", [&](auto& p) { p.drawSwitchSelectorWithFrame(f, 2, true, false, 1); },
         [&] { StyleKit::drawSelectorButtonWithFrame(f, true, 2); }},
        {"step button", [&](auto& p) { p.drawStepButtonWithFrame(f, true, false, true, false, 5); },
         [&] { StyleKit::drawStepButtonWithFrame(f, true, false, true, false); }},
        {"step program fader", [&](auto& p) { p.drawArpPgSliderWithValue(0.6f, 4, true); },
         [&] { StyleKit::drawArpPgSliderWithValue(0.6f, 4, true); }},
        {"slider", [&](auto& p) { p.drawSliderWithFrame(f, 0.3f, false, false, 1); },
         [&] { standard->drawSliderWithFrame(f, 0.3f, false, false, 1); }},
        {"side edge", [&](auto& p) { p.drawSideEdgeButtonWithFrame(f, true); },
         [&] { standard->drawSideEdgeButtonWithFrame(f, true); }},
        {"white key", [&](auto& p) { p.drawKeyWhiteWithFrame(Rect(4, 2, 24, 40), true, true); },
         [&] { standard->drawKeyWhiteWithFrame(Rect(4, 2, 24, 40), true, true); }},
        {"black key", [&](auto& p) { p.drawKeyBlackWithFrame(Rect(4, 2, 24, 60), false, true); },
         [&] { standard->drawKeyBlackWithFrame(Rect(4, 2, 24, 60), false, true); }},
        {"learn overlay", [&](auto& p) { p.drawControlStatusWithFrame(f, true, 0, 0xB0, 7, true, false); },
         [&] { standard->drawControlStatusWithFrame(f, true, 0, 0xB0, 7, true, false); }},
        {"image placeholder", [&](auto& p) { p.drawImageWithFrame(f, 2, false, true, false, 1, 0); },
         [&] { standard->drawImageWithFrame(f, 2, false, true, false, 1, 0); }},
        {"shaper", [&](auto& p) { p.drawShaperWithFrame(f, false, 0, 0.5, 1); },
         [&] { standard->drawShaperWithFrame(f, false, 0, 0.5, 1); }},
        {"int shaper", [&](auto& p) { p.drawIntShaperWithFrame(f, false, 0, 1, 0.2, 0.6); },
         [&] { standard->drawIntShaperWithFrame(f, false, 0, 1, 0.2, 0.6); }},
        {"icon", [&](auto& p) { p.drawIconSettingsWithFrame(f, fg, true); },
         [&] { standard->drawIconSettingsWithFrame(f, fg, true); }},
        {"alt icon", [&](auto& p) { p.drawIconAltWithFrame(f, fg, true, false); },
         [&] { standard->drawIconAltWithFrame(f, fg, true, false); }},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Image const viaTheme = render({160, 140}, [&] { c.request(painter()); });
        EXPECT_TRUE(samePicture(viaTheme, render({160, 140}, c.expected)));
    }
    // And the product's look really differs from the default one where it overrides it.
    Image const productKnob = render({160, 140}, [&] { painter().drawKnobWithFrame(f, 0.4f, false, false, 0); });
    Image const defaultKnob = render({160, 140}, [&] { standard->drawKnobWithFrame(f, 0.4f, false, false, 0); });
    EXPECT_TRUE(differ(productKnob, defaultKnob));
}

TEST_F(ProductTheme, KnobAndSelectorPixels)
{
    Rect const square(0, 0, 50, 50);
    auto knob = [&](float value, bool disabled, int32_t variation) {
        return render({50, 50}, [&] { painter().drawKnobWithFrame(square, value, disabled, false, variation); });
    };
    // Variation 1 is drawn in the warm greys: the value arc at the lower left, the track beyond it.
    Image const warm = knob(0.5f, false, 1);
    expectColorAt(warm, onCircle({25, 25}, 20, 200), Color(0.518, 0.433, 0.409));
    expectColorAt(warm, onCircle({25, 25}, 20, 300), Color(0.252, 0.162, 0.17));
    // Variation 0 in the reds.
    expectColorAt(knob(0.5f, false, 0), onCircle({25, 25}, 20, 200), Color(0.867, 0.141, 0.169));
    // A disabled knob draws no indicator across the gap above the disc.
    EXPECT_GT(knob(0.5f, false, 0).colorAt({25, 25 - 13.5}).alpha(), 0.4);
    expectColorAt(knob(0.5f, true, 0), {25, 25 - 13.5}, Color::clearColor());

    struct Case {
        int32_t value;
        Color light;
    };
    Case const cases[] = {{0, Color(0.3, 0.1947, 0)}, {1, Color(1, 0.649, 0)}, {2, Color(0, 0.63, 1)}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.value);
        Image const image = render({150, 60}, [&] {
            painter().drawSwitchSelectorWithFrame(Rect(0, 0, 150, 60), c.value, false, false, 0);
        });
        expectColorAt(image, {73, 19}, c.light);
    }
}

TEST_F(ProductTheme, InstallerRegisteredWithTheModelInstallsTheTheme)
{
    Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>());
    Lumora::ScreenServices::setThemeInstaller({});
    EXPECT_FALSE(Lumora::ScreenServices::installTheme(nullptr));
    EXPECT_EQ(painter().headerColor(), L::lumoraUltraLightGrayColor());

    Painter::registerThemeInstaller();
    auto const before = painter().impl();
    ASSERT_TRUE(Lumora::ScreenServices::installTheme(nullptr));
    auto const installed = std::dynamic_pointer_cast<Painter>(painter().impl());
    ASSERT_NE(installed, nullptr);
    EXPECT_NE(painter().impl(), before);
    EXPECT_EQ(installed->core(), nullptr);
    EXPECT_EQ(painter().headerColor(), Color::blackColor());
    EXPECT_EQ(painter().labelTextColor(), Color::whiteColor());
}
