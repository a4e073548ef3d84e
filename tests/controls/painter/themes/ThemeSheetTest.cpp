// Renders a sheet of every control through the painter facade, once in each theme, for a person
// to look at; the pictures land in the test's working folder (or where CORVANE_SHEET_DIR points).

#include "ThemeTesting.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/painter/themes/Painter.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/StringDrawing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace ThemeTesting;
using Platform::GraphicsContext;

namespace {

constexpr double sheetWidth = 1000;
constexpr double sheetHeight = 820;

GraphicsContext& gc() { return *GraphicsContext::current(); }

void label(std::string const& text, Point at, Color const& color)
{
    Platform::TextAttributes attributes;
    attributes.font = Platform::Font::systemFont(11);
    attributes.color = color;
    Platform::StringDrawing::drawAtPoint(text, at, attributes);
}

void swatch(Rect const& r, std::optional<Color> const& c)
{
    gc().setFillColor(Color::whiteColor());
    gc().fillRect(r);
    gc().setFillColor(c.value_or(Color::clearColor()));
    gc().fillRect(r);
    gc().setStrokeColor(Color::grayColor());
    gc().strokeRect(r);
}

// Draws a request that paints in the view's own coordinates at a place on the sheet.
template <class F>
void at(Point origin, F&& draw)
{
    gc().saveGState();
    gc().translate(origin.x, origin.y);
    draw();
    gc().restoreGState();
}

void drawSheet(Lumora_Painter& p)
{
    Color const text = p.labelTextColor().value_or(Color::blackColor());
    gc().setFillColor(p.containerBackgroundColor().value_or(Color::whiteColor()));
    gc().fillRect(Rect(0, 0, sheetWidth, sheetHeight));

    // Editor frame header with the title image and the preset-name button.
    gc().setFillColor(p.headerColor().value_or(Color::clearColor()));
    gc().fillRect(Rect(0, 0, sheetWidth, 40));
    if (Image title = p.headerTitleImage())
        title.drawInRect(Rect(10, 6, title.size().width, title.size().height));
    gc().setFillColor(p.soundPresetButtonBackgroundColor().value_or(Color::clearColor()));
    gc().fillRect(Rect(400, 8, 220, 24));
    label("Init Sound", {410, 13}, p.soundPresetButtonForegroundColor().value_or(Color::blackColor()));

    // Every colour request.
    std::optional<Color> (Lumora_Painter::*colors[])() = {
#define LUMORA_COLOR_ENTRY(name) &Lumora_Painter::name,
        LUMORA_PAINTER_COLORS(LUMORA_COLOR_ENTRY)
#undef LUMORA_COLOR_ENTRY
    };
    double x = 10;
    for (auto request : colors) {
        swatch(Rect(x, 50, 40, 20), (p.*request)());
        x += 50;
    }

    // Knobs: values, bipolar, disabled, variations.
    label("knobs", {10, 80}, text);
    struct KnobCase {
        float value;
        bool disabled, bipole;
        int32_t variation;
    };
    KnobCase const knobs[] = {{0, false, false, 0},   {0.25f, false, false, 0}, {0.5f, false, false, 0},
                              {1, false, false, 0},   {0.75f, false, true, 0},  {0.25f, false, true, 0},
                              {0.6f, true, false, 0}, {0.6f, false, false, 1},  {0.6f, false, false, 2}};
    x = 10;
    for (KnobCase const& k : knobs) {
        p.drawKnobWithFrame(Rect(x, 95, 70, 70), k.value, k.disabled, k.bipole, k.variation);
        x += 80;
    }

    // Sliders and the step program fader.
    label("sliders, step program faders", {10, 175}, text);
    x = 10;
    for (float v : {0.0f, 0.3f, 1.0f}) {
        p.drawSliderWithFrame(Rect(x, 190, 40, 150), v, false, v == 0.3f, 0);
        x += 50;
    }
    for (float pos : {0.0f, 2.0f, 5.0f}) {
        at({x, 200}, [&] { p.drawArpPgSliderWithValue(pos / 5, pos, pos == 5); });
        x += 50;
    }

    // Switches, selectors, buttons.
    label("switches (off, on, pressed), selectors (0, 1, 2), buttons (plain, selected, pressed)", {340, 175}, text);
    double y = 190;
    auto row = [&](auto draw) {
        double bx = 340;
        for (int i = 0; i < 3; ++i) {
            draw(Rect(bx, y, 120, 48), i);
            bx += 130;
        }
        y += 56;
    };
    row([&](Rect const& r, int i) { p.drawSwitchWithFrame(r, i == 1, i == 2, false, 0); });
    row([&](Rect const& r, int i) { p.drawSwitchSelectorWithFrame(r, i, false, false, 0); });
    row([&](Rect const& r, int i) { p.drawButtonWithFrame(r, i == 1, i == 2, false, 0); });

    // Lamps, step buttons, side-edge button, image placeholder.
    label("lamps, step buttons (off, on, lit, pressed, disabled), side edge, image", {10, 360}, text);
    x = 10;
    for (float v : {0.0f, 0.5f, 1.0f}) {
        p.drawLampWithFrame(Rect(x, 380, 40, 40), v, 0);
        x += 50;
    }
    struct StepCase {
        bool selected, pressed, lighted, disabled;
    };
    StepCase const steps[] = {{false, false, false, false},
                              {true, false, false, false},
                              {true, false, true, false},
                              {false, true, false, false},
                              {true, false, false, true}};
    for (StepCase const& s : steps) {
        p.drawStepButtonWithFrame(Rect(x, 375, 50, 50), s.selected, s.pressed, s.lighted, s.disabled, 0);
        x += 60;
    }
    p.drawSideEdgeButtonWithFrame(Rect(x, 360, 24, 80), false);
    x += 34;
    at({x, 375}, [&] { p.drawImageWithFrame(Rect(0, 0, 80, 50), 3, false, false, false, 0, 1); });

    // Keys: one octave, with a pressed and a held key.
    label("keys, MIDI-learn overlays, response graphs", {10, 450}, text);
    gc().setFillColor(p.keyboardBackgroundColor().value_or(Color::blackColor()));
    gc().fillRect(Rect(10, 465, 7 * 30 + 4, 124));
    // The key views clip their keys; pressed keys reach above their frames.
    gc().saveGState();
    gc().clipToRect(Rect(12, 467, 7 * 30, 120));
    for (int i = 0; i < 7; ++i)
        p.drawKeyWhiteWithFrame(Rect(12 + i * 30, 467, 28, 120), i == 2, i == 4);
    for (int i : {0, 1, 3, 4, 5})
        p.drawKeyBlackWithFrame(Rect(12 + i * 30 + 19, 467, 20, 74), i == 3, i == 0);
    gc().restoreGState();

    // MIDI-learn overlays: none, CC, after touch, other; learning and pressed.
    x = 240;
    struct Status {
        bool detail;
        int32_t status, number;
        bool selected, pressed;
    };
    Status const statuses[] = {{false, 0, 0, false, false},
                               {true, 0xB0, 74, false, false},
                               {true, 0xD0, 0, true, false},
                               {true, 0x90, 60, false, true}};
    for (Status const& s : statuses) {
        p.drawControlStatusWithFrame(Rect(x, 465, 70, 60), s.detail, 0, s.status, s.number, s.selected, s.pressed);
        x += 80;
    }
    p.drawShaperWithFrame(Rect(560, 465, 200, 70), false, 0.1, 0.6, 0.9);
    p.drawIntShaperWithFrame(Rect(770, 465, 200, 70), false, 0.2, 0.8, 0.25, 0.75);

    // Command buttons: background and icon in the theme's colours, variations 0 and 1, states
    // normal, pressed, selected, disabled.
    label("command icons: variation 0 then 1; normal, pressed, selected, disabled", {10, 600}, text);
    Lumora_CmndButton button;
    y = 615;
    for (int32_t variation : {0, 1}) {
        button.setVariation(variation);
        x = 10;
        for (char const* name : {"NewFile", "Settings", "MIDI", "Alt", "Close"}) {
            button.setImageName(std::string(name));
            for (uint64_t state : {0u, 1u, 4u, 2u}) {
                Rect const r(x, y, 44, 44);
                gc().setFillColor(p.commandButton_backgroundColorWithState(&button, state).value_or(Color::clearColor()));
                gc().fillRect(r);
                Color const fg = p.commandButton_foregroundColorWithState(&button, state).value_or(Color::blackColor());
                std::string const n = name;
                if (n == "NewFile")
                    p.drawIconNewFileWithFrame(r, fg, state & 1);
                else if (n == "Settings")
                    p.drawIconSettingsWithFrame(r, fg, state & 1);
                else if (n == "MIDI")
                    p.drawIconMIDIWithFrame(r, fg, state & 1);
                else if (n == "Alt")
                    p.drawIconAltWithFrame(r, fg, state & 4, state & 1);
                else
                    p.drawIconCloseWithFrame(r, fg, state & 1);
                x += 48;
            }
            x += 12;
        }
        y += 52;
    }

    // The background pictures, reduced.
    label("common-parameter and arpeggiator backgrounds", {10, 722}, text);
    if (Image common = p.commonParmBackgroundImage())
        common.drawInRect(Rect(10, 740, 240, 67.5));
    else
        swatch(Rect(10, 740, 240, 67.5), p.commonParmBackgroundColor());
    if (Image arp = p.arpeggiatorBackgroundImage())
        arp.drawInRect(Rect(260, 740, 120, 75));
    label("numbers", {390, 760}, p.arpeggiatorNumericIndicatorColor().value_or(Color::blackColor()));
    label("common label", {460, 760}, p.commonParmLabelColor().value_or(Color::blackColor()));
}

Image renderSheet(std::shared_ptr<Lumora_PainterImplementation> theme, std::string const& fileName)
{
    Lumora_Painter::setImplimatation(std::move(theme));
    Platform::BitmapContext bitmap(Size{sheetWidth, sheetHeight});
    drawSheet(*Lumora_Painter::sharedInstance());
    EXPECT_EQ(bitmap.context().gStateDepth(), 0);
    Image const image = bitmap.makeImage();
    char const* dir = std::getenv("CORVANE_SHEET_DIR");
    std::filesystem::path const path = std::filesystem::path(dir ? dir : ".") / fileName;
    EXPECT_TRUE(image.writePNG(path.string()));
    EXPECT_FALSE(Image::contentsOfFile(path.string()).isNull());
    return image;
}

} // namespace

TEST(ThemeSheetTest, RendersTheControlsInBothThemes)
{
    Image const standard = renderSheet(std::make_shared<Lumora_PainterImplementation>(), "theme-sheet-default.png");
    Image const product = renderSheet(std::make_shared<Painter>(nullptr), "theme-sheet-product.png");
    Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>());
    // Container colours of the two looks.
    expectColorAt(standard, {500, 800}, Color::lightGrayColor());
    expectColorAt(product, {500, 800}, Color(0.68359375, 0.09375, 0.11328125));
}
