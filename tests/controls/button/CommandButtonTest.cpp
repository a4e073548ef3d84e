#include "controls/button/Lumora_Button.h"
#include "controls/button/Lumora_CmndButton.h"
#include "controls/button/Lumora_SideEdgeButton.h"
#include "controls/categories/UIColor_Lumora.h"
#include "controls/support/RecordingTheme.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace Platform;
using LampsTesting::ScopedTheme;

namespace {

bool near(Color const& a, Color const& b, double tolerance = 3.0 / 255)
{
    return std::fabs(a.red() - b.red()) <= tolerance && std::fabs(a.green() - b.green()) <= tolerance
        && std::fabs(a.blue() - b.blue()) <= tolerance && std::fabs(a.alpha() - b.alpha()) <= tolerance;
}

// How many opaque pixels of the image have the colour, and how many opaque pixels there are.
struct Ink {
    int matching = 0;
    int opaque = 0;
};

Ink inkOf(Image const& image, Color const& color, Rect within = Rect::null())
{
    Ink ink;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x) {
            if (!within.isNull() && !within.contains(Point{x + 0.5, y + 0.5}))
                continue;
            Color const c = image.pixel(x, y);
            if (c.alpha() < 0.99)
                continue;
            ++ink.opaque;
            if (near(c, color))
                ++ink.matching;
        }
    return ink;
}

std::shared_ptr<Lumora_CmndButton> commandButton(std::optional<std::string> name, unsigned long state = 0)
{
    auto button = std::make_shared<Lumora_CmndButton>(Rect(0, 0, 44, 44));
    button->setImageName(std::move(name));
    button->setHighlighted(state & ControlState::Highlighted);
    button->setEnabled(!(state & ControlState::Disabled));
    button->setSelected(state & ControlState::Selected);
    return button;
}

} // namespace

TEST(CommandButton, ImageNamePicksTheIconExactly)
{
    ScopedTheme scoped;
    std::vector<std::string> const names = {
        "Close", "NewFile", "SaveFile", "NewFolder", "Rename", "GoBack", "GoForward", "Settings", "MIDI",
        "Arpeggio", "CommonParam", "Tempo", "Send", "Delete", "Duplicate", "Move", "Home", "Tune",
        "Copy", "Paste", "Recall", "Shaper", "SoundOff", "SoundOn"};
    for (std::string const& name : names) {
        scoped.theme->log.clear();
        renderViewToImage(*commandButton(name));
        EXPECT_EQ(scoped.theme->log, (std::vector<std::string>{name})) << name;
    }
    // Names that match no icon in case or in whole draw a letter and ask for no icon.
    for (std::optional<std::string> name : {std::optional<std::string>("close"), std::optional<std::string>("Closed"),
                                            std::optional<std::string>(""), std::optional<std::string>()}) {
        scoped.theme->log.clear();
        renderViewToImage(*commandButton(name));
        EXPECT_TRUE(scoped.theme->log.empty()) << name.value_or("(none)");
    }
}

TEST(CommandButton, AltIconGetsTheSelectedAndPressedBits)
{
    ScopedTheme scoped;
    renderViewToImage(*commandButton("Alt", ControlState::Selected));
    renderViewToImage(*commandButton("Alt", ControlState::Highlighted));
    renderViewToImage(*commandButton("Alt", ControlState::Highlighted | ControlState::Selected));
    renderViewToImage(*commandButton("Close", ControlState::Highlighted));
    EXPECT_EQ(scoped.theme->log,
              (std::vector<std::string>{"Alt selected", "Alt pressed", "Alt selected pressed", "Close pressed"}));
}

TEST(CommandButton, IconIsDrawnInTheThemesColourForTheState)
{
    ScopedTheme scoped;
    struct Case {
        char const* what;
        std::string name;
        unsigned long state;
        Color expected;
    };
    std::vector<Case> const cases = {
        {"normal", "Close", 0, UIColor_Lumora::lumoraDarkBlueColor()},
        {"selected", "Close", ControlState::Selected, UIColor_Lumora::lumoraRedColor()},
        {"disabled", "Settings", ControlState::Disabled, UIColor_Lumora::lumoraLightGrayColor()},
        {"disabled and selected", "Settings", ControlState::Disabled | ControlState::Selected,
         UIColor_Lumora::lumoraUltraLightGrayColor()},
        {"Alt selected", "Alt", ControlState::Selected, UIColor_Lumora::lumoraDarkBlueColor()},
    };
    for (Case const& c : cases) {
        Image const image = renderViewToImage(*commandButton(c.name, c.state), 2);
        Ink const ink = inkOf(image, c.expected);
        // The icon is there, and drawn in the state's colour.
        EXPECT_GT(ink.opaque, 50) << c.what;
        EXPECT_GT(ink.matching, ink.opaque / 2) << c.what;
    }
    // The colour of one state is absent from another's picture.
    Image const normal = renderViewToImage(*commandButton("Close"), 2);
    EXPECT_EQ(inkOf(normal, UIColor_Lumora::lumoraRedColor()).matching, 0);
}

TEST(CommandButton, UnknownNameDrawsItsFirstLetterAtAFixedPoint)
{
    ScopedTheme scoped;
    auto button = commandButton("close");
    Image const image = renderViewToImage(*button, 2);
    Color const blue = UIColor_Lumora::lumoraDarkBlueColor();
    Ink const all = inkOf(image, blue);
    EXPECT_GT(all.matching, 10);
    // A letter of 18 points drawn from (5, 2): nothing beyond its box.
    EXPECT_EQ(inkOf(image, blue, Rect(0, 0, 2 * 22, 2 * 26)).matching, all.matching);

    // A missing name draws "?", a different figure from "c".
    Image const question = renderViewToImage(*commandButton(std::nullopt), 2);
    EXPECT_GT(inkOf(question, blue).matching, 10);
    EXPECT_NE(inkOf(question, blue).matching, all.matching);
}

TEST(CommandButton, RedrawsOnEveryControlEventAndOnItsFields)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 200, 200));
    auto button = commandButton("Close");
    // An interface file's attributes are set between construction and waking: the set-up is
    // made again, once.
    button->setBackgroundColor(Color::redColor());
    std::size_t const registered = button->actions().count();
    button->awakeFromNib();
    EXPECT_EQ(button->backgroundColor(), Color::clearColor());
    EXPECT_EQ(button->actions().count(), registered);
    window->addSubview(button);
    renderViewToImage(*button);
    std::uint64_t count = button->displayRequestCount();
    window->tap({20, 20}, 1);
    EXPECT_GT(button->displayRequestCount(), count);

    count = button->displayRequestCount();
    button->setVariation(2);
    EXPECT_EQ(button->variation(), 2);
    EXPECT_GT(button->displayRequestCount(), count);
    count = button->displayRequestCount();
    button->setImageName("Home");
    EXPECT_GT(button->displayRequestCount(), count);
}

TEST(CommandButton, ColoursComeFromTheInstalledTheme)
{
    auto button = commandButton("Close");
    EXPECT_EQ(button->foregroundColorWithState(ControlState::Selected), UIColor_Lumora::lumoraRedColor());
    EXPECT_EQ(button->backgroundColorWithState(ControlState::Selected), UIColor_Lumora::lumoraLightGrayColor());
    EXPECT_EQ(button->backgroundColorWithState(0), Color::clearColor());

    // A theme that answers no colour leaves the icon in the context's black.
    struct Colourless : Lumora_PainterImplementation {
        std::optional<Color> commandButton_foregroundColorWithState(Lumora_CmndButton*, uint64_t) override
        {
            return std::nullopt;
        }
    };
    auto previous = Lumora_Painter::sharedInstance()->impl();
    Lumora_Painter::sharedInstance()->setImpl(std::make_shared<Colourless>());
    Image const image = renderViewToImage(*button, 2);
    Lumora_Painter::sharedInstance()->setImpl(previous);
    Ink const ink = inkOf(image, Color::blackColor());
    EXPECT_GT(ink.opaque, 50);
    EXPECT_GT(ink.matching, ink.opaque / 2);
}

TEST(PlainButtons, ButtonPassesItsStateBitsAndVariation)
{
    ScopedTheme scoped;
    auto button = std::make_shared<Lumora_Button>(Rect(0, 0, 150, 60));
    button->setEnabled(false);
    renderViewToImage(*button);
    button->setEnabled(true);
    button->setHighlighted(true);
    button->setSelected(true);
    // Taken at the next redraw, with no redraw of its own.
    std::uint64_t const count = button->displayRequestCount();
    button->setVariation(5);
    EXPECT_EQ(button->displayRequestCount(), count);
    Image const image = renderViewToImage(*button);
    EXPECT_EQ(scoped.theme->log, (std::vector<std::string>{"button disabled 0", "button selected pressed 5"}));
    EXPECT_GT(inkOf(image, Color::clearColor()).opaque, 100);
}

TEST(PlainButtons, SideEdgeButtonPassesThePressedBit)
{
    ScopedTheme scoped;
    auto button = std::make_shared<Lumora_SideEdgeButton>(Rect(0, 0, 60, 200));
    renderViewToImage(*button);
    button->setHighlighted(true);
    Image const image = renderViewToImage(*button);
    EXPECT_EQ(scoped.theme->log, (std::vector<std::string>{"side edge", "side edge pressed"}));
    EXPECT_GT(inkOf(image, Color::clearColor()).opaque, 100);
}

TEST(PlainButtons, ButtonsRedrawOnPress)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 300, 300));
    auto plain = std::make_shared<Lumora_Button>(Rect(0, 0, 100, 50));
    auto side = std::make_shared<Lumora_SideEdgeButton>(Rect(150, 0, 60, 200));
    window->addSubview(plain);
    window->addSubview(side);
    renderViewToImage(*window);
    std::uint64_t const a = plain->displayRequestCount();
    std::uint64_t const b = side->displayRequestCount();
    window->tap({20, 20}, 1);
    window->tap({170, 20}, 2);
    EXPECT_GT(plain->displayRequestCount(), a);
    EXPECT_GT(side->displayRequestCount(), b);
}
