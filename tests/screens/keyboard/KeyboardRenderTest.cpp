#include "screens/keyboard/Lumora_KeyboardScrollView.h"

#include "platform/graphics/Image.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using Platform::Color;
using Platform::Image;
using Platform::Point;
using Platform::Rect;

namespace {

// Where the pictures go for a look: $CORVANE_KEYBOARD_PNG_DIR, else the temporary folder.
std::string picturePath(char const* name)
{
    char const* dir = std::getenv("CORVANE_KEYBOARD_PNG_DIR");
    std::filesystem::path folder = dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    return (folder / name).string();
}

void expectColorAt(Image const& image, Point p, Color const& expected, double tolerance = 3.0 / 255)
{
    Color const actual = image.colorAt(p);
    bool const near = std::abs(actual.red() - expected.red()) <= tolerance &&
                      std::abs(actual.green() - expected.green()) <= tolerance &&
                      std::abs(actual.blue() - expected.blue()) <= tolerance &&
                      std::abs(actual.alpha() - expected.alpha()) <= tolerance;
    EXPECT_TRUE(near) << "at (" << p.x << ", " << p.y << "): " << actual.red() << " " << actual.green() << " "
                      << actual.blue() << " " << actual.alpha();
}

// A keyboard 400 x 120 with 30-point keys and the bar below (keys 105 points tall, black keys
// 63): C = 12 at x 0..30, C# at 18..39, D at 30..60, E at 60..90.
std::shared_ptr<Lumora_KeyboardScrollView> makeKeyboard(bool piano)
{
    auto keyboard = Lumora_KeyboardScrollView::initWithFrame(Rect(0, 0, 400, 120), 8, 1, 30, piano, 15, true, nullptr);
    keyboard->noteOn(12, 100);
    keyboard->hold(13, true);
    keyboard->noteOn(16, 100);
    keyboard->hold(16, true);
    return keyboard;
}

Color const kHeld(1, 0.711, 0);
Color const kWhite = Color::whiteColor();
Color const kWhitePressed = Color::withWhite(0.8);
Color const kBlack = Color::withWhite(0.109);

} // namespace

TEST(KeyboardRender, PianoKeysShowPressedAndHeldNotesAboveTheBar)
{
    auto keyboard = makeKeyboard(true);
    Image const image = Platform::renderViewToImage(*keyboard);
    ASSERT_EQ(image.pixelWidth(), 400);
    ASSERT_EQ(image.pixelHeight(), 120);
    EXPECT_TRUE(image.writePNG(picturePath("corvane-keyboard-piano.png")));

    expectColorAt(image, {45, 90}, kWhite);                  // D, idle
    expectColorAt(image, {9, 90}, kWhitePressed);            // C, pressed
    expectColorAt(image, {28, 10}, kBlack);                  // C#, idle, in front of C and D
    expectColorAt(image, {29, 40}, kHeld);                   // C#'s held dot
    expectColorAt(image, {75, 82}, kHeld);                   // E's held dot, pressed underneath
    expectColorAt(image, {65, 95}, kWhitePressed);
    expectColorAt(image, {30.5, 95}, Color::darkGrayColor());  // the keyboard between C and D
    // The bar strip, and the knob on it, in translucent white.
    EXPECT_NEAR(image.colorAt({300, 112}).alpha(), 0.2, 0.01);
    EXPECT_NEAR(image.colorAt({40, 112}).alpha(), 0.36, 0.01);
}

TEST(KeyboardRender, TwelveKeyLayoutDrawsEqualKeysAndFollowsTheScrollPosition)
{
    auto keyboard = makeKeyboard(false);
    keyboard->scrollToNoteNumber(13, false);  // C# (a black key, full height here) at the left edge
    Image const image = Platform::renderViewToImage(*keyboard);
    EXPECT_TRUE(image.writePNG(picturePath("corvane-keyboard-twelve.png")));

    expectColorAt(image, {15, 90}, kBlack);   // C#, idle, full height
    expectColorAt(image, {15, 10}, kBlack);
    expectColorAt(image, {45, 90}, kWhite);   // D
    expectColorAt(image, {105, 90}, kWhitePressed);   // E, pressed
}
